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

// The folder and folder-clear icons when start-up loaded them, else plain text buttons.
QPushButton* MakeFolderButton(QWidget* parent, int id, bool clear, const AppIcons& icons)
{
    const QIcon& icon = clear ? icons.folderClear : icons.folder;
    auto* button = MakeDialogButton(parent, id, QString());
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

FileOptionsDialog::FileOptionsDialog(QWidget* parent, FolderPicker picker, const AppIcons& icons)
    : QDialog(parent)
    , m_picker(picker ? std::move(picker) : FolderPicker(&PickFolder))
{
    PrepareSettingsDialog(*this, QStringLiteral("File options"), &icons);
    const AppOptions& o = Options();
    m_video.prefix = o.VideoNamePrefix;
    m_video.folder = o.VideoDirectory;
    m_video.exampleName = &VideoFileNameExample;
    m_log.prefix = o.LogfileNamePrefix;
    m_log.folder = o.LogfileDirectory;
    m_log.exampleName = &LogFileNameExample;

    auto* layout = new QVBoxLayout(this);
    AddGroup(layout, m_video, QStringLiteral("Video"), {1152, 1047, 1048, 1049, 1050, 1051}, icons);
    AddGroup(layout, m_log, QStringLiteral("User Messages Log"), {1078, 1064, 1065, 1068, 1072, 1076}, icons);

    auto* save = MakeDialogButton(this, 1074, QStringLiteral("Save"));
    save->setDefault(true);
    connect(save, &QPushButton::clicked, this, &FileOptionsDialog::Save);
    AddButtonRow(layout, {save, MakeCancelButton(*this)});
}

void FileOptionsDialog::AddGroup(QVBoxLayout* layout, FileGroup& g, const QString& title, const GroupIds& ids,
                                 const AppIcons& icons)
{
    auto* box = WithId(new QGroupBox(title, this), ids.group);
    auto* grid = new QGridLayout(box);

    g.prefixEdit = WithId(new QLineEdit(box), ids.prefix);
    g.prefixEdit->setMaxLength(kPrefixCapacity - 1);
    g.prefixEdit->setText(g.prefix);
    g.example = WithId(new QLabel(g.exampleName(g.prefix), box), ids.example);
    connect(g.prefixEdit, &QLineEdit::textChanged, this, [&g](const QString& text) {
        g.prefix = text.left(kPrefixCapacity - 1);
        g.example->setText(g.exampleName(g.prefix));
    });

    g.folderEdit = WithId(new QLineEdit(g.folder, box), ids.folder);
    g.folderEdit->setReadOnly(true);
    auto* select = MakeFolderButton(box, ids.select, false, icons);
    auto* clear = MakeFolderButton(box, ids.clear, true, icons);
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
    const QString folder = FolderOptionText(m_picker(this, start));
    if (!folder.isEmpty()) {
        g.folder = folder;
        g.folderEdit->setText(folder);
    }
    raise();
    activateWindow();
}

void FileOptionsDialog::Save()
{
    AppOptions& o = Options();
    o.VideoNamePrefix = m_video.prefix;
    o.VideoDirectory = m_video.folder;
    o.LogfileNamePrefix = m_log.prefix;
    o.LogfileDirectory = m_log.folder;
    done(kSettingsSaved);
}

int RunFileOptionsDialog(QWidget* parent, const AppIcons& icons)
{
    return ExecSettingsDialog<FileOptionsDialog>(parent, FileOptionsDialog::FolderPicker(), icons);
}
