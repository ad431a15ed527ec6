#pragma once

#include <QString>

namespace rekoda {

// The texts the core gives the window (a file's reason, a check's message,
// a run's end) are English sentences, and each is the key of its
// translation: the window finds the sentence's template and its arguments.
// The core decides on values, never on these texts.

// Turned on by the window once it has loaded a translation. rekoda-cli never
// does: its words are a machine interface and stay English.
void SetTextsTranslated(bool on);

// The text in the loaded language: a key as it stands, a template's sentence
// with its arguments (translated in turn), or line by line; a text no key
// fits comes back as it was. The text itself where nothing is loaded.
QString Translated(const QString &english);

}  // namespace rekoda
