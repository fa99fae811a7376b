#pragma once

#include <string>

// How the core talks to the curator: the shell implements it with message
// boxes and file dialogs, tests with a script of answers.
class IUserPrompt {
public:
    enum class Answer { Yes, No, Cancel };

    struct FileChoice {
        bool save = true;
        std::string defaultExtension;  // without the dot
        std::string filter;            // "description | pattern ||" as the resources give it
        bool promptOverwrite = false;
    };

    virtual ~IUserPrompt() = default;

    // A message box with the application's caption and an OK button.
    virtual void ShowMessage(const std::string& text) = 0;
    // One of a series of messages: the OK button and a second one, "Show
    // the rest in one list"; true when the curator chose the second.
    virtual bool ShowSeriesMessage(const std::string& text) {
        ShowMessage(text);
        return false;
    }
    // A message box whose details (selectable, copyable) hold `details`.
    virtual void ShowMessageWithDetails(const std::string& text, const std::string& details) {
        ShowMessage(text + "\n" + details);
    }
    // Yes/No, or Yes/No/Cancel when `withCancel`.
    virtual Answer Ask(const std::string& text, bool withCancel) = 0;
    // False when the curator cancels.
    virtual bool ChooseFile(const FileChoice& choice, std::string& path) = 0;
};
