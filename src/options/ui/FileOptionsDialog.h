#pragma once

#include "options/ui/SettingsDialogFrame.h"

#include <QDialog>
#include <QString>
#include <functional>

struct AppOptions;
class UserMessageLog;

class QLabel;
class QLineEdit;
class QVBoxLayout;

// "File options": the name prefixes and folders of video files and of saved User
// Messages logs. Works on copies; Save (1) puts them into the options, anything else
// ends with 3 and changes nothing.
class FileOptionsDialog final : public QDialog {
    Q_OBJECT
public:
    // Asks the user for a folder, starting in the given one; empty when none was chosen.
    using FolderPicker = std::function<QString(QWidget* parent, const QString& start)>;

    // A chosen folder too long for the options is reported in log.
    FileOptionsDialog(AppOptions& options, UserMessageLog& log, QWidget* parent = nullptr, FolderPicker picker = {},
                      const AppIcons& icons = {});

    void reject() override { done(kSettingsCancelled); }

private:
    Q_DISABLE_COPY_MOVE(FileOptionsDialog)
    // One group box: a prefix with its example file name, and a folder.
    struct FileGroup {
        QString prefix;
        QString folder;
        QLineEdit* prefixEdit = nullptr;
        QLabel* example = nullptr;
        QLineEdit* folderEdit = nullptr;
        std::function<QString(const QString&)> exampleName;
    };
    // The group's controls are named stem + "Group", "Prefix", "Example", "SelectFolder",
    // "ClearFolder" and "Folder".
    void AddGroup(QVBoxLayout* layout, FileGroup& g, const QString& title, const char* stem, const AppIcons& icons);
    void SelectFolder(FileGroup& g);
    void Save();

    AppOptions& m_options;
    UserMessageLog& m_messages;
    FolderPicker m_picker;
    FileGroup m_video;
    FileGroup m_log;
};

// Opens the dialog modally over parent; 1 when saved, 3 when cancelled.
int RunFileOptionsDialog(AppOptions& options, UserMessageLog& log, QWidget* parent, const AppIcons& icons = {});
