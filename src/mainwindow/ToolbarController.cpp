#include "ToolbarController.h"

#include "MainWindow.h"

#include "settings/ToolbarLayout.h"
#include "settings/ui/ToolbarDialog.h"

#include <QAction>
#include <QFontMetrics>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

namespace lynkora {

ToolbarController::ToolbarController(TfrmMainLynkora& window)
    : QObject(&window), m_w(window), m_popTool(new QMenu(&window)) {
    m_popTool->setObjectName("popTool");
    m_popTool->addAction(m_w.Action("acCustom"));
    QToolBar* bar = m_w.ToolBar();
    bar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bar, &QWidget::customContextMenuRequested, this,
            [this, bar](const QPoint& at) { m_popTool->popup(bar->mapToGlobal(at)); });
    connect(m_w.Action("acCustom"), &QAction::triggered, this, &ToolbarController::Customize);
    m_layout = DefaultToolbar(m_w.ToolCommands());
    RebuildButtons();
}

void ToolbarController::Load() {
    m_w.Guarded([this] {
        TToolBar stored;
        if (m_w.Settings().LoadToolbar(stored, nullptr)) {
            m_layout = std::move(stored);
            Rebuild();
        }
    });
}

void ToolbarController::Rebuild() {
    RebuildButtons();
    m_w.ApplyToolbarLook();
    m_w.acUpdateCtrls(); // the browser drop-down of the Open button
}

void ToolbarController::RebuildButtons() {
    QToolBar* bar = m_w.ToolBar();
    const QList<QAction*> old = bar->actions();
    bar->clear();
    // The tool bar's own separators and text buttons go with the old layout; commands stay.
    for (QAction* a : old)
        if (a->parent() == bar)
            delete a;
    for (const auto& control : m_layout.Controls) {
        if (control->IsSeparator()) {
            bar->addSeparator();
            continue;
        }
        QAction* command = m_w.Action(control->Action);
        if (!command)
            continue; // a command this window no longer has
        if (dynamic_cast<const TSpeedButton*>(control.get())) {
            // A command without an image shows its caption, as wide as the text and 12 pixels.
            auto* button = new QToolButton(bar);
            button->setDefaultAction(command);
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
            button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 12);
            bar->addWidget(button);
        } else {
            bar->addAction(command);
        }
    }
    if (auto* open = qobject_cast<QToolButton*>(bar->widgetForAction(m_w.Action("acOpen")))) {
        open->setMenu(m_w.HistoryDropDown());
        open->setPopupMode(QToolButton::MenuButtonPopup);
    }
}

void ToolbarController::Customize() {
    TToolbarEditor editor(m_w.ToolCommands());
    editor.Fill(m_layout);
    TfrmTool dialog(&m_w, editor, [this](const TToolEntry& entry) {
        return entry.IsSeparator() ? m_w.SmallImage(kSeparatorImage) : m_w.Action(entry.command)->icon();
    });
    if (!m_w.Run(dialog))
        return;
    m_w.Guarded([&] {
        const TSettings& s = m_w.Settings();
        const QFontMetrics metrics(m_w.ToolBar()->font());
        m_layout = editor.Build(s.FlatToolBtn, s.ShowToolTip, [&](const std::string& caption) {
            return metrics.horizontalAdvance(QString::fromStdString(caption));
        });
        Rebuild();
        m_w.Settings().SaveToolbar(m_layout);
    });
}

} // namespace lynkora
