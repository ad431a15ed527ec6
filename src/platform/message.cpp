#include "platform/message.h"

#include <cstdio>

namespace rekoda {

namespace {
MessageHandler &handlerSlot() {
  static MessageHandler handler;
  return handler;
}
}  // namespace

void ShowMessage(const QString &text, int style) {
  if (const MessageHandler &h = handlerSlot()) {
    h(text, style);
    return;
  }
  std::fprintf(stderr, "Rekoda: %s\n", text.toLocal8Bit().constData());
}

MessageHandler SetMessageHandler(MessageHandler handler) {
  MessageHandler old = std::move(handlerSlot());
  handlerSlot() = std::move(handler);
  return old;
}

}  // namespace rekoda
