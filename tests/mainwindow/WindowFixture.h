#pragma once

#include "support/QtTestApp.h"
#include "support/TestPaths.h"

#include "companions/CompanionLibrary.h"
#include "mainwindow/MainWindow.h"
#include "platform/Registry.h"
#include "settings/SettingsEnvironment.h"
#include "settings/ToolbarStream.h"

#include <QApplication>
#include <QTreeView>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace lynkora::test {

class Environment : public SettingsEnvironment {
public:
    Size ScreenSize() const override { return {1280, 1024}; }
    std::string InstallDir() const override { return std::string(LYNKORA_BIN_DIR) + "/"; }
    bool CssAssociation() const override { return false; }
    Browser DefaultBrowser() const override { return {}; }
    std::string AutostartFile() const override { return autostart; }
    std::string autostart = "/nonexistent/autostart/lynkora.desktop";
    std::string FavoritesFolder() const override { return favorites; }
    std::string favorites;
    std::optional<std::string> PredefinedStyleSheet(int) const override { return std::nullopt; }
};

// A main window on its own settings file in a fresh folder, with the sample collection at hand.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQtApp();
        qputenv("LYNKORA_NO_DIALOGS", "1");
        CompanionLibrary::SetDirectory(LYNKORA_BIN_DIR);
        dir = FreshDir("mainwindow");
        registry = std::make_unique<Registry>((dir / "Lynkora4.conf").string());
        window = std::make_unique<TfrmMainLynkora>(*registry, env);
        window->InitializeMainWindow("");
    }
    void TearDown() override {
        window.reset();
        CompanionLibrary::SetDirectory("");
    }
    std::string Sample(const std::string& name = "sample.lyx") {
        const std::filesystem::path target = dir / name;
        std::filesystem::copy_file(std::string(LYNKORA_BINARY_DIR) + "/samples/sample.lyx", target,
                                   std::filesystem::copy_options::overwrite_existing);
        return target.string();
    }
    // A new empty category under the root, written into the file as the window writes it.
    CategoryNode& AddEmptyCategory(const std::string& name = "Empty") {
        auto folder = std::make_unique<TISFolder>();
        folder->FolderName = name;
        folder->FolderID = window->DataFile()->NewFolderID();
        CategoryNode& node = window->Tree().AddChild(*window->Tree().RootNode(), std::move(folder));
        window->WriteCategory(node);
        return node;
    }
    // The window shown at 900 x 560 with the top-level category selected; its details view.
    QTreeView* ShowCategory(const char* name) {
        window->show();
        window->resize(900, 560);
        window->SelectNode(window->Tree().FindCategoryByName(name, 1));
        QApplication::processEvents();
        return window->findChild<QTreeView*>("ListView1");
    }
    // Where the tests leave their pictures.
    static QString Shot(const char* name) { return QString::fromStdString(std::string(LYNKORA_BINARY_DIR) + "/" + name); }

    ToolbarClassRegistration toolbarClasses; // as the program registers them at its entry
    std::filesystem::path dir;
    Environment env;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<TfrmMainLynkora> window;
};

} // namespace lynkora::test
