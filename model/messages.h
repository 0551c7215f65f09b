// Messages of the model layer ("Failure: Viewer is nil.", "NOT FOUND") go
// through one handler, so the GUI can show them in a message box. By default
// they are written to stderr.
#pragma once

#include <functional>
#include <string>

using MessageHandler = std::function<void(const std::string&)>;

// An empty handler restores the default.
void setMessageHandler(MessageHandler handler);
void showMessage(const std::string& text);
