#include "options/ui/FileOptionsDialog.h"

#include "common/ProcessDirectory.h"
#include "options/AppOptions.h"
#include "options/SettingsRules.h"
#include "options/ui/SettingsDialogFrame.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString PickFolder(QWidget* parent, const QString& start)
{
    return QFileDialog::getExistingDirectory(parent, QStringLiteral("Select Folder"), start);
}

template <class W>
W* NamedInGroup(W* widget, const char* stem, const char* part)
{
    widget->setObjectName(QLatin1String(stem) + QLatin1String(part));
    return widget;
}

// The folder and folder-clear icons when start-up loaded them, else plain text buttons.
QPushButton* MakeFolderButton(QWidget* parent, const char* stem, bool clear, const AppIcons& icons)
{
    const QIcon& icon = clear ? icons.folderClear : icons.folder;
    auto* button = NamedInGroup(new QPushButton(parent), stem, clear ? "ClearFolder" : "SelectFolder");
    button->setAutoDefault(false);
    button->setToolTip(clear ? QStringLiteral("Clear Folder") : QStringLiteral("Select Folder"));
    if (icon.isNull()) {
        button->setText(clear ? QStringLiteral("Folder Clear") : QStringLiteral("Folder"));
    } else {
        button->setIcon(icon);
        button->setIconSize(QSize(32, 32));
    }
    return button;
}

} // namespace

FileOptionsDialog::FileOptionsDialog(AppOptions& options, UserMessageLog& log, QWidget* parent, FolderPicker picker,
                                     const AppIcons& icons)
    : QDialog(parent)
    , m_options(options)
    , m_messages(log)
    , m_picker(picker ? std::move(picker) : FolderPicker(&PickFolder))
{
    PrepareSettingsDialog(*this, QStringLiteral("File options"), &icons);
    const AppOptions& o = m_options;
    m_video.prefix = o.VideoNamePrefix;
    m_video.folder = o.VideoDirectory;
    m_video.exampleName = &VideoFileNameExample;
    m_log.prefix = o.LogfileNamePrefix;
    m_log.folder = o.LogfileDirectory;
    m_log.exampleName = &LogFileNameExample;

    auto* layout = new QVBoxLayout(this);
    AddGroup(layout, m_video, QStringLiteral("Video"), "video", icons);
    AddGroup(layout, m_log, QStringLiteral("User Messages Log"), "log", icons);

    auto* save = MakeDialogButton(this, QStringLiteral("Save"), QStringLiteral("save"), ButtonEnter::PressesWhenFocused);
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &FileOptionsDialog::Save);
    AddButtonRow(layout, {save, MakeCancelButton(*this)});
}

void FileOptionsDialog::AddGroup(QVBoxLayout* layout, FileGroup& g, const QString& title, const char* stem,
                                 const AppIcons& icons)
{
    auto* box = NamedInGroup(new QGroupBox(title, this), stem, "Group");
    auto* grid = new QGridLayout(box);

    g.prefixEdit = NamedInGroup(new QLineEdit(box), stem, "Prefix");
    g.prefixEdit->setMaxLength(kPrefixCapacity - 1);
    g.prefixEdit->setText(g.prefix);
    g.example = NamedInGroup(new QLabel(g.exampleName(g.prefix), box), stem, "Example");
    connect(g.prefixEdit, &QLineEdit::textChanged, this, [&g](const QString& text) {
        g.prefix = text.left(kPrefixCapacity - 1);
        g.example->setText(g.exampleName(g.prefix));
    });

    g.folderEdit = NamedInGroup(new QLineEdit(g.folder, box), stem, "Folder");
    g.folderEdit->setReadOnly(true);
    auto* select = MakeFolderButton(box, stem, false, icons);
    auto* clear = MakeFolderButton(box, stem, true, icons);
    connect(select, &QPushButton::clicked, this, [this, &g] { SelectFolder(g); });
    connect(clear, &QPushButton::clicked, this, [&g] {
        // An empty folder means the program's default folder.
        g.folder.clear();
        g.folderEdit->clear();
    });

    grid->addWidget(new QLabel(QStringLiteral("File name prefix:"), box), 0, 0);
    grid->addWidget(g.prefixEdit, 0, 1, 1, 3);
    grid->addWidget(g.example, 1, 1, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("Folder:"), box), 2, 0);
    grid->addWidget(g.folderEdit, 2, 1);
    grid->addWidget(select, 2, 2);
    grid->addWidget(clear, 2, 3);
    grid->setColumnMinimumWidth(1, 320);
    layout->addWidget(box);
}

void FileOptionsDialog::SelectFolder(FileGroup& g)
{
    const QString start = g.folder.isEmpty() ? QString::fromStdString(GetProcessDirectory()) : g.folder;
    const QString folder = FolderOptionText(m_picker(this, start), m_messages);
    if (!folder.isEmpty()) {
        g.folder = folder;
        g.folderEdit->setText(folder);
    }
    raise();
    activateWindow();
}

void FileOptionsDialog::Save()
{
    AppOptions& o = m_options;
    o.VideoNamePrefix = m_video.prefix;
    o.VideoDirectory = m_video.folder;
    o.LogfileNamePrefix = m_log.prefix;
    o.LogfileDirectory = m_log.folder;
    done(kSettingsSaved);
}

int RunFileOptionsDialog(AppOptions& options, UserMessageLog& log, QWidget* parent, const AppIcons& icons)
{
    return ExecSettingsDialog<FileOptionsDialog>(options, log, parent, FileOptionsDialog::FolderPicker(), icons);
}
