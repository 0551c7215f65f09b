#include "model/messages.h"

#include <iostream>

namespace {

MessageHandler& handler() {
    static MessageHandler current;
    return current;
}

} // namespace

void setMessageHandler(MessageHandler newHandler) {
    handler() = std::move(newHandler);
}

void showMessage(const std::string& text) {
    if (handler())
        handler()(text);
    else
        std::cerr << text << '\n';
}
