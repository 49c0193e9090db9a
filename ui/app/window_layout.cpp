#include "ui/app/window_layout.h"

#include "ui/picture/datapath_geometry.h"

#include <QFont>
#include <QVariant>
#include <QWidget>

#include <algorithm>

namespace tessaro {

namespace {

namespace g = geometry;

// clang-format off
const Placement kWindowLayout[] = {
    // The picture with the microprogram listing on it, the program editor and its error list.
    {"Image1",            g::qt(g::kPictureRect),            true},
    {"LabelMicroProgram", {360, -2, 110, 16},         false},
    {"Label33",           {472, -2, 336, 16},         false},
    {"Memo2",             g::qt(g::kListingRect),            true},
    {"LabelIJVMProgram",  {8, 496, 86, 20},           false},
    {"Label34",           {96, 496, 600, 20},         false},
    {"Memo1",             {8, 520, 689, 177},         false},
    {"ListBox5",          {8, 424, 689, 97},          false},
    {"Image2",            g::qt(g::kClockRect),              false},
    // Constant pool, method area, stack and frame down the right-hand side.
    {"LabelConstantPool", {816, 0, 120, 16},          false},
    {"ListBox1",          {816, 16, 204, 180},        false},
    {"LabelMethodArea",   {816, 200, 120, 16},        false},
    {"ListBox2",          {816, 216, 136, 180},       false},
    {"LabelStack",        {816, 408, 80, 16},         false},
    {"ListBox4",          {816, 424, 204, 132},       false},
    {"ListBox3",          {816, 558, 204, 139},       false},
    {"Label2",            {944, 0, 60, 16},           false}, // <-CPP
    {"Label3",            {768, 432, 44, 16},         false}, // SP->
    {"Label4",            {768, 536, 44, 16},         false}, // LV->
    // The command buttons: SubCicle, Mic, Step, Run, Reset in a column, then the rest.
    {"BitBtn6",           {958, 230, 62, 30},         true},
    {"BitBtn1",           {958, 264, 62, 30},         true},
    {"BitBtn2",           {958, 296, 62, 30},         true},
    {"BitBtn3",           {958, 329, 62, 30},         true},
    {"BitBtn4",           {958, 361, 62, 30},         true},
    {"BitBtn5",           {908, 400, 111, 25},        false},
    {"ComboBox1",         {704, 460, 106, 24},        false},
    {"GroupBox1",         {712, 568, 97, 88},         false},
    {"Edit1",             {8, 24, 81, 22},            false},
    {"Label5",            {8, 52, 81, 24},            false},
    {"BitBtn7",           {720, 660, 65, 33},         true},
    // Going back, in the gap below the picture beside the editor.
    {"BackMicButton",     {704, 502, 51, 24},         true},
    {"BackStepButton",    {757, 502, 51, 24},         true},
    {"Button2",           {1023, 0, 1, 1},            false},
};
// clang-format on

// The editor column is taken when it costs the rest of the layout at most this share of the
// scale it would have without the column: on a wide screen the lines gained are worth more.
constexpr qreal kEditorColumnScaleShare = 0.9;

// The property that keeps a control's font at scale 1.
constexpr char kBaseFontProperty[] = "tessaroBaseFont";

// The largest scale at which a table of tableWidth (kWindowSize's width plus any column) fits
// both the window and its client area; the bars above and below the client area keep their
// size, so the client area's height is checked on its own.
qreal fittingScale(QSize windowSize, QSize clientSize, int extraWidth) {
    const qreal window =
        std::min(static_cast<qreal>(windowSize.width()) / (kWindowSize.width() + extraWidth),
                 static_cast<qreal>(windowSize.height()) / kWindowSize.height());
    const qreal client =
        std::min(static_cast<qreal>(clientSize.width()) / (kClientMinimumSize.width() + extraWidth),
                 static_cast<qreal>(clientSize.height()) / kClientMinimumSize.height());
    return std::min(window, client);
}

} // namespace

QRect WindowArrangement::map(const QRect& table) const {
    const int left = origin.x() + qRound(table.x() * scale);
    const int top = origin.y() + qRound(table.y() * scale);
    const int right = origin.x() + qRound((table.x() + table.width()) * scale);
    const int bottom = origin.y() + qRound((table.y() + table.height()) * scale);
    return {left, top, right - left, bottom - top};
}

int WindowArrangement::length(int table) const {
    return qRound(table * scale);
}

WindowArrangement arrangeWindow(QSize windowSize, QSize clientSize) {
    WindowArrangement arrangement;
    arrangement.clientHeight = clientSize.height();
    const qreal plain = fittingScale(windowSize, clientSize, 0);
    const qreal wide = fittingScale(windowSize, clientSize, kEditorColumnWidth);
    arrangement.editorBeside = wide >= 1 && wide >= kEditorColumnScaleShare * plain;
    arrangement.scale = arrangement.editorBeside ? wide : std::max<qreal>(1, plain);
    arrangement.heightGained =
        std::max(0, windowSize.height() - arrangement.length(kWindowSize.height()));
    const int tableWidth =
        kWindowSize.width() + (arrangement.editorBeside ? kEditorColumnWidth : 0);
    // Centred across, so that a window wider than the table shows it between equal margins.
    const int used = arrangement.length(tableWidth);
    arrangement.origin = {std::max(0, (clientSize.width() - used) / 2), 0};
    if (arrangement.editorBeside) {
        const int left = arrangement.map({kClientMinimumSize.width() + 4, 0, 0, 0}).x();
        const int right =
            arrangement.map({kClientMinimumSize.width() + kEditorColumnWidth, 0, 0, 0}).x();
        arrangement.editorColumn = {left, 0, right - left, clientSize.height()};
    }
    return arrangement;
}

void applyWindowLayout(QWidget* client, const WindowArrangement& arrangement) {
    // Controls inside a group box are placed relative to it: no origin.
    WindowArrangement nested = arrangement;
    nested.origin = {};
    for (const Placement& p : kWindowLayout) {
        auto* widget = client->findChild<QWidget*>(QLatin1String(p.objectName));
        if (widget == nullptr) {
            continue;
        }
        widget->setGeometry(widget->parentWidget() == client ? arrangement.map(p.rect)
                                                             : nested.map(p.rect));
        if (p.show) {
            widget->show();
        }
    }
}

void scaleFonts(QWidget* client, qreal factor) {
    QList<QWidget*> widgets = client->findChildren<QWidget*>();
    widgets.prepend(client);
    for (QWidget* widget : widgets) {
        // The others follow the font of their parent.
        if (widget != client && !widget->testAttribute(Qt::WA_SetFont)) {
            continue;
        }
        QVariant base = widget->property(kBaseFontProperty);
        if (!base.isValid()) {
            base = widget->font();
            widget->setProperty(kBaseFontProperty, base);
        }
        QFont font = base.value<QFont>();
        if (font.pixelSize() > 0) {
            font.setPixelSize(qRound(font.pixelSize() * factor));
        } else {
            font.setPointSizeF(font.pointSizeF() * factor);
        }
        widget->setFont(font);
    }
}

} // namespace tessaro
