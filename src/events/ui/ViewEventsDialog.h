#pragma once

#include "events/EventEditing.h"
#include "ui/AppLook.h"

#include <QDialog>

class QPushButton;
class QTreeWidget;

// Lists the Event files (expired ones only when Show Expired Events is on), deletes the
// selected ones or picks one for editing. Ends with 0 (edit the picked Event, whose file
// name is then in the dialog state's EditedEventFileName), 1 (every listed Event
// deleted), 2 (some deleted, rows remain), 3 (Cancel, the frame or Escape) or 4 (Show
// Expired Events toggled: the caller reopens the dialog, which lists anew).
class ViewEventsDialog final : public QDialog {
    Q_OBJECT
public:
    enum Result { EditChosen = 0, AllDeleted = 1, SomeDeleted = 2, Closed = 3, ExpiredToggled = 4 };
    static constexpr int kCommentColumn = 3;
    static constexpr int kFileNameColumn = 7;

    explicit ViewEventsDialog(const EventDialogContext& program, QWidget* parent = nullptr,
                              const AppIcons& icons = {});
    ViewEventsDialog(const ViewEventsDialog&) = delete;
    ViewEventsDialog& operator=(const ViewEventsDialog&) = delete;

    QTreeWidget* List() const { return m_list; }

    // The buttons' slots.
    void EditSelected();
    void DeleteSelected();

public slots:
    void reject() override;

private:
    void FillList();
    void WidenToFit();
    void EnableButtons();

    EventDialogContext m_program;
    QTreeWidget* m_list = nullptr;
    QPushButton* m_edit = nullptr;
    QPushButton* m_delete = nullptr;
};

// Runs the Event list over parent and returns its result.
int RunViewEventsDialog(const EventDialogContext& program, QWidget* parent, const AppIcons& icons = {});
