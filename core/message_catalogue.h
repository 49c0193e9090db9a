#pragma once

#include "core/message_id.h"

#include <span>
#include <string_view>

namespace tessaro {

/// One message in both languages.
struct MessageTexts {
    MessageId id;
    std::string_view italian;
    std::string_view english;
};

/// The texts of a message.
const MessageTexts& messageTexts(MessageId id);

/// Every message, in the order of MessageId.
std::span<const MessageTexts> messageCatalogue();

} // namespace tessaro
