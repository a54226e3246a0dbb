#pragma once
// The one QApplication of the Qt tests, on the offscreen platform, and a fake platform that
// records what the window logic asks.

#include <optional>
#include <string>
#include <vector>

#include <ostream>

#include <QString>

#include "quenvar/forms.h"

class QApplication;
class QWidget;

// Readable QStrings in the messages of failed expectations.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace qvtest {

// Made at first use; lives until the process ends.
QApplication& qtApp();

// Types `text` into a widget key by key, as a keyboard would (any character, not only ASCII).
void typeText(QWidget* widget, const QString& text);

struct Shown {
    std::string text;
    std::string title;
    qv::forms::Buttons buttons;
    qv::forms::Icon icon;
};

// Answers every Yes/No box with `answer` and records every message box.
class RecordingPlatform : public qv::forms::Platform {
public:
    qv::forms::Answer message(const std::string& text, const std::string& title, qv::forms::Buttons buttons,
                              qv::forms::Icon icon) override
    {
        shown.push_back({text, title, buttons, icon});
        return buttons == qv::forms::Buttons::YesNo ? answer : qv::forms::Answer::Ok;
    }
    std::optional<std::string> fileDialog(qv::forms::DialogKind, const std::string&, const std::string&,
                                          const std::string&) override
    {
        return std::nullopt;
    }
    std::vector<Shown> shown;
    qv::forms::Answer answer = qv::forms::Answer::Yes;
};

}  // namespace qvtest
