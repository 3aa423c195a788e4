#include "events/ui/ViewEventsDialog.h"

#include "common/Clock.h"
#include "events/EventEditing.h"
#include "events/ui/EventDialogLook.h"
#include "messages/MessageTables.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <array>

namespace {

struct ListColumn {
    const char* header;
    int width;
    Qt::Alignment alignment;
};

constexpr std::array<ListColumn, kEventListColumnCount> kColumns{{
    {" Date (UTC)", 115, Qt::AlignLeft},
    {"Time (UTC)", 93, Qt::AlignLeft},
    {"Duration", 85, Qt::AlignLeft},
    {"Comment", 293, Qt::AlignLeft},
    {"Hibernate", 88, Qt::AlignHCenter},
    {"Shut down", 88, Qt::AlignHCenter},
    {"Expired", 80, Qt::AlignHCenter},
    {"", 0, Qt::AlignLeft},
}};

constexpr int kUnableToDeleteEventFiles = 16;
constexpr int kMaxFileNameLength = 511;

QPushButton* Button(QWidget* parent, const char* name, const char* text, QRect place)
{
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

} // namespace

ViewEventsDialog::ViewEventsDialog(const EventDialogContext& program, QWidget* parent, const AppIcons& icons)
    : QDialog(parent)
    , m_program(program)
{
    ApplyEventDialogLook(*this, icons);
    setWindowTitle(QStringLiteral("View, Delete, Edit Events"));
    setFixedSize(926, 360);

    auto* showExpired = new QCheckBox(QStringLiteral("Show Expired Events"), this);
    showExpired->setObjectName(QStringLiteral("showExpired"));
    showExpired->setGeometry(30, 12, 300, 28);
    showExpired->setChecked(m_program.state.ShowExpiredEvents);
    m_edit = Button(this, "editSelected", "Edit Selected Event", QRect(30, 312, 200, 32));
    m_delete = Button(this, "deleteSelected", "Delete Selected Event(s)", QRect(250, 312, 220, 32));
    QPushButton* cancel = Button(this, "cancel", "Cancel", QRect(776, 312, 120, 32));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("eventList"));
    m_list->setGeometry(30, 50, 866, 250);
    m_list->setFont(EventListFont());
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setColumnCount(kEventListColumnCount);
    QStringList headers;
    for (const ListColumn& c : kColumns)
        headers << QString::fromLatin1(c.header);
    m_list->setHeaderLabels(headers);
    QHeaderView* header = m_list->header();
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    for (int i = 0; i < kEventListColumnCount; ++i) {
        header->setSectionResizeMode(i, QHeaderView::Fixed);
        header->resizeSection(i, kColumns[static_cast<std::size_t>(i)].width);
        m_list->headerItem()->setTextAlignment(i, kColumns[static_cast<std::size_t>(i)].alignment | Qt::AlignVCenter);
    }
    m_list->setColumnHidden(kFileNameColumn, true);
    FillList();
    WidenToFit();
    EnableButtons();

    connect(m_list, &QTreeWidget::itemSelectionChanged, this, &ViewEventsDialog::EnableButtons);
    connect(m_edit, &QPushButton::clicked, this, &ViewEventsDialog::EditSelected);
    connect(m_delete, &QPushButton::clicked, this, &ViewEventsDialog::DeleteSelected);
    connect(showExpired, &QCheckBox::clicked, this, [this] {
        bool& shown = m_program.state.ShowExpiredEvents;
        shown = !shown;
        done(ExpiredToggled);
    });
    connect(cancel, &QPushButton::clicked, this, [this] { done(Closed); });
}

void ViewEventsDialog::FillList()
{
    for (const EventListEntry& entry : ListEventFiles(m_program.log, m_program.state.ShowExpiredEvents, UtcTimeNow(m_program.clock))) {
        auto* item = new QTreeWidgetItem(m_list, EventListColumns(entry));
        for (int i = 0; i < kEventListColumnCount; ++i)
            item->setTextAlignment(i, kColumns[static_cast<std::size_t>(i)].alignment | Qt::AlignVCenter);
    }
}

// The widths suit Consolas; the wider fallback font would cut the dates and times, so
// those columns grow to their text. The comment column keeps its width.
void ViewEventsDialog::WidenToFit()
{
    QHeaderView* header = m_list->header();
    for (int i = 0; i < kFileNameColumn; ++i) {
        if (i == kCommentColumn)
            continue;
        const int width = header->sectionSize(i);
        m_list->resizeColumnToContents(i);
        header->resizeSection(i, std::max(width, header->sectionSize(i)));
    }
}

void ViewEventsDialog::EnableButtons()
{
    const qsizetype selected = m_list->selectedItems().size();
    m_delete->setEnabled(selected > 0);
    m_edit->setEnabled(selected == 1);
}

void ViewEventsDialog::EditSelected()
{
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (item->isSelected()) {
            m_program.state.EditedEventFileName = item->text(kFileNameColumn).left(kMaxFileNameLength);
            done(EditChosen);
            return;
        }
    }
}

void ViewEventsDialog::DeleteSelected()
{
    const int rows = m_list->topLevelItemCount();
    int deleted = 0;
    for (int row = 0; row < rows; ++row) {
        const QTreeWidgetItem* item = m_list->topLevelItem(row);
        if (!item->isSelected())
            continue;
        if (DeleteEventFile(item->text(kFileNameColumn)))
            ++deleted;
        else
            ReportAppMessage(m_program.log, kUnableToDeleteEventFiles);
    }
    if (deleted == 0)
        return;
    done(rows - deleted > 0 ? SomeDeleted : AllDeleted);
}

void ViewEventsDialog::reject()
{
    done(Closed);
}

int RunViewEventsDialog(const EventDialogContext& program, QWidget* parent, const AppIcons& icons)
{
    ViewEventsDialog dialog(program, parent, icons);
    return dialog.exec();
}
