#pragma once

#include "exchange/ImportMerge.h"

#include <QDialog>
#include <QIcon>

#include <functional>
#include <unordered_map>
#include <vector>

class QCheckBox;
class QPushButton;

namespace lynkora {

class CheckTree;

// "Confirm Import": the preview of what an import would bring, with cascading boxes; Import
// closes with OK when at least one entry is ticked.
class TfrmConfirm : public QDialog {
public:
    // `images`: the main window's menu images.
    TfrmConfirm(QWidget* parent, std::vector<QIcon> images);

    // Shows the preview with everything ticked and expanded, the file entry selected.
    void Fill(const PreviewEntry& fileEntry);
    // The state of an entry's box (an entry not shown counts as unticked).
    TickState Tick(const PreviewEntry& entry) const;
    TickOf Ticks() const {
        return [this](const PreviewEntry& e) { return Tick(e); };
    }
    // The window's place as the settings keep it: left, height, top, width joined by ",". A
    // height or width that is no number takes 277 or 481; a left or top that is none leaves the
    // window where the system puts it.
    QString GeometryText() const;
    void SetGeometryText(const QString& text);

    CheckTree* ConfirmTree;
    QCheckBox* chSelCat;
    QPushButton *BtnImport, *BtnCancel;
    std::function<void(const QString&)> ShowError;

    // The preview images: the file, a category, a shortcut.
    static constexpr int kFileImage = 38, kCategoryImage = 3, kShortcutImage = 0;

private:
    std::unordered_map<const PreviewEntry*, int> m_entries;
};

} // namespace lynkora
