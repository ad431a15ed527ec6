#pragma once

#include <QString>

#include <functional>

namespace rekoda {

// Message box styles: the core only ever uses these two.
enum MessageStyle : int {
  MsgPlain = 0,
  MsgCritical = 16,
};

using MessageHandler = std::function<void(const QString &text, int style)>;

// Every message the program shows goes through here. The window installs a
// handler that opens a real box; tests install a recorder. Without a handler
// the text goes to standard error so that nothing is ever swallowed.
void ShowMessage(const QString &text, int style = MsgPlain);

// Returns the handler that was installed before.
MessageHandler SetMessageHandler(MessageHandler handler);

}  // namespace rekoda
