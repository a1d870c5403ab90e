#pragma once

#include "tools/DuplicateScan.h"

#include <QDialog>

#include <functional>
#include <string>

class QAction;
class QMenu;
class QToolButton;
class QTreeView;

namespace lynkora {

class DuplicatesModel;

// "Duplicate URL's": the groups of a scan, where single shortcuts, whole groups or all but the
// first of every group are deleted.
class TfrmDuplicates : public QDialog {
public:
    explicit TfrmDuplicates(QWidget* parent = nullptr);

    void SetGroups(std::vector<TDupItems> groups, const QIcon& groupImage, const QIcon& shortcutImage);
    DuplicatesModel& Model() { return *m_model; }

    // Places the dialog from "left,height,top,width"; empty: its own size, centred on `over`.
    // Fails with the conversion error when left or top is not a number.
    void Place(const std::string& position, const QWidget* over);
    // Where it is now, in the same form.
    std::string Position() const;

    // Deletes the entry's shortcut from its category and writes the category.
    std::function<void(const TDupURL& entry)> DeleteShortcut;
    // A Yes/No question; true for Yes.
    std::function<bool(const QString& text)> AskYesNo;
    // Runs a command, reporting what it raises.
    std::function<void(const std::function<void()>& command)> Guarded;

    void DeleteSelection();   // mnuDel
    void DeleteAllButFirst(); // mnuDelAll

    QTreeView* treeDup;
    QToolButton* btnActions;
    QMenu* mnuActions;
    QAction* mnuDel;
    QAction* mnuDelAll;
    QAction* mnuHelp;
    QAction* mnuClose;

private:
    void UpdateItems();
    void RemoveEntry(std::size_t group, std::size_t entry);

    DuplicatesModel* m_model;
    bool m_allDeleted = false; // the delete items stay off after Delete all but first
};

} // namespace lynkora
