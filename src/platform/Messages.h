#pragma once
// Message boxes. Every message the program shows goes through MessageBoxes, so the window can show
// real dialogs, the batch run can print to the terminal and tests can script the answers.
// Titles and texts are bytes in the Windows single-byte code page (1252); line breaks inside a text
// are the single character 13, as the suite writes them.
#include <iosfwd>
#include <string>

namespace kv::platform {

enum class Icon { None, Information, Critical, Exclamation, Question };
// Besides OK, a closing summary may offer to open the folder of the files and to show a list behind
// it; OK is the default and the answer to Escape.
enum class Buttons { Ok, YesNo, OkOpenFolder, OkList, OkOpenFolderList };
enum class Answer { Ok, Yes, No, OpenFolder, ShowList };

struct Message {
    std::string title;
    std::string text;
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual Answer Show(const Message& message) = 0;

    void Inform(const std::string& title, const std::string& text) {
        Show({title, text, Icon::Information, Buttons::Ok});
    }
    void Critical(const std::string& title, const std::string& text) {
        Show({title, text, Icon::Critical, Buttons::Ok});
    }
    void Plain(const std::string& title, const std::string& text) { Show({title, text, Icon::None, Buttons::Ok}); }
    bool AskYesNo(const std::string& title, const std::string& text, Icon icon) {
        return Show({title, text, icon, Buttons::YesNo}) == Answer::Yes;
    }
};

// Writes every message to a stream (UTF-8, CR shown as a line break). Questions are not asked:
// they take the configured safe answer, so a run without a terminal never waits.
class ConsoleMessageBoxes : public MessageBoxes {
public:
    explicit ConsoleMessageBoxes(std::ostream& out, Answer safeAnswer = Answer::No)
        : out_(out), safeAnswer_(safeAnswer) {}
    Answer Show(const Message& message) override;

private:
    std::ostream& out_;
    Answer safeAnswer_;
};

}  // namespace kv::platform
