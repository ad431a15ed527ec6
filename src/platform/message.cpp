#include "platform/message.h"

#include <cstdio>

namespace rekoda {

namespace {
MessageHandler &handlerSlot() {
  static MessageHandler handler;
  return handler;
}
QuestionHandler &questionSlot() {
  static QuestionHandler handler;
  return handler;
}
ConfirmHandler &confirmSlot() {
  static ConfirmHandler handler;
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

ReplaceAnswer AskReplace(const QString &text) {
  const QuestionHandler &h = questionSlot();
  return h ? h(text) : ReplaceAnswer::Cancel;
}

QuestionHandler SetQuestionHandler(QuestionHandler handler) {
  QuestionHandler old = std::move(questionSlot());
  questionSlot() = std::move(handler);
  return old;
}

bool AskConfirm(const QString &text, const QString &action) {
  const ConfirmHandler &h = confirmSlot();
  return h && h(text, action);
}

ConfirmHandler SetConfirmHandler(ConfirmHandler handler) {
  ConfirmHandler old = std::move(confirmSlot());
  confirmSlot() = std::move(handler);
  return old;
}

MessageHandler SetMessageHandler(MessageHandler handler) {
  MessageHandler old = std::move(handlerSlot());
  handlerSlot() = std::move(handler);
  return old;
}

}  // namespace rekoda
