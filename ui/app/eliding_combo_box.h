#pragma once

#include <QComboBox>

namespace tessaro {

/// A combo box that ends a current text too long for it with an ellipsis instead of cutting it
/// off mid-word, and shows the whole text as its tooltip.
class ElidingComboBox : public QComboBox {
public:
    explicit ElidingComboBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tessaro
