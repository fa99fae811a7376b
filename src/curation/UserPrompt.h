#pragma once

#include <string>
#include <vector>

#include "DataSources.h"

#include "EditDialogs.h"

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

    // The two fields of the radius dialog.
    struct Radii {
        int bigRadius = 300;
        int smallRadius = 30;
    };

    // The picture export dialog: size in pixels, background, labels.
    struct ImageChoice {
        int width = 1024;
        int height = 768;
        bool blackBackground = true;
        bool labels = true;
    };

    // What the data source dialog offers: the configured data sources and
    // the connection strings chosen last.
    struct DataSourceOffer {
        std::vector<DataSourceInfo> sources;
        std::vector<std::string> recent;
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
    // The radius dialog, opened with `radii`: true with both values
    // (0..9999 each) on OK, false on Cancel. A prompt without dialogs
    // cancels.
    virtual bool AskRadii(Radii& /*radii*/) { return false; }
    // The data source dialog, opened with `choice`: true with the curator's
    // choice (a database file may be left empty for the file chooser),
    // false on Cancel. A prompt without it cancels.
    virtual bool ChooseDataSource(const DataSourceOffer& /*offer*/, DataSourceChoice& /*choice*/) { return false; }

    // The editing dialogs, opened with the values passed in; false when
    // the curator cancels. A prompt without them cancels every one.
    virtual bool RunRename(CDlgRename& /*dlg*/) { return false; }
    virtual bool RunNewMolecule(CDlgNewMolecule& /*dlg*/) { return false; }
    virtual bool RunSetRelation(CDlgSetRelation& /*dlg*/) { return false; }
    virtual bool RunMoreInfo(CDlgMoreInfo& /*dlg*/) { return false; }
    virtual bool RunDelete(CDlgDelete& /*dlg*/) { return false; }
    // Opened with `choice`; false when the curator cancels.
    virtual bool AskImageExport(ImageChoice& /*choice*/) { return false; }
};
