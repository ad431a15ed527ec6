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

// Every message the program shows goes through here, worded by its caller
// (in the window's language by the window). The window installs a
// handler that opens a real box; tests install a recorder. Without a handler
// the text goes to standard error so that nothing is ever swallowed.
void ShowMessage(const QString &text, int style = MsgPlain);

// Returns the handler that was installed before.
MessageHandler SetMessageHandler(MessageHandler handler);

// The one question the program asks: files of the job's output names are
// in the destination folder already.
enum class ReplaceAnswer { Replace, Skip, Cancel };
using QuestionHandler = std::function<ReplaceAnswer(const QString &text)>;
// Asked like a message box, through one handler: the window's, or a test's.
// Without one the answer is Cancel: nothing is replaced unasked.
ReplaceAnswer AskReplace(const QString &text);
QuestionHandler SetQuestionHandler(QuestionHandler handler);

// A question that an action answers or Cancel does ("Undo the run of
// 14:02…?", Undo / Cancel); without a handler the answer is no.
using ConfirmHandler = std::function<bool(const QString &text, const QString &action)>;
bool AskConfirm(const QString &text, const QString &action);
ConfirmHandler SetConfirmHandler(ConfirmHandler handler);

}  // namespace rekoda
