// What the window looks like: images without their fuchsia background, a header that never
// moves the panes, names shown whole in the icon and list styles, an About box that fits its
// picture, the tree's selected images and fonts. Each test leaves a picture in the build folder.
#include "WindowFixture.h"

#include "mainwindow/AboutDialog.h"
#include "mainwindow/CategoryTreeModel.h"
#include "mainwindow/ViewDelegates.h"
#include "platform/StoredText.h"

#include <QImage>
#include <QLabel>
#include <QListView>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTreeView>

using namespace lynkora;
using lynkora::test::MainWindowTest;

namespace {

int CountColour(const QImage& image, QRgb colour) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if ((argb.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) && qAlpha(argb.pixel(x, y)) == 255)
                ++n;
    return n;
}

} // namespace

TEST_F(MainWindowTest, TheHintIconAndTheCommandImagesHaveNoFuchsiaBackground) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    window->show();
    window->resize(900, 560);
    QStatusTipEvent hint("Open an existing Lynkora datafile");
    QApplication::sendEvent(window.get(), &hint);
    QApplication::processEvents();
    auto* icon = window->findChild<QLabel*>("statusIcon");
    ASSERT_NE(icon, nullptr);
    const QImage hintImage = icon->pixmap().toImage();
    ASSERT_FALSE(hintImage.isNull());
    EXPECT_EQ(CountColour(hintImage, qRgb(255, 0, 255)), 0);
    EXPECT_TRUE(hintImage.hasAlphaChannel());
    for (const char* name : {"acOpen", "acDelete", "acProp", "acVerFile"}) {
        const QImage image = window->Action(name)->icon().pixmap(16, 16).toImage();
        EXPECT_EQ(CountColour(image, qRgb(255, 0, 255)), 0) << name;
    }
    const QImage bar = window->statusBar()->grab().toImage();
    EXPECT_EQ(CountColour(bar, qRgb(255, 0, 255)), 0);
    window->statusBar()->grab().save(Shot("status-bar-hint.png"));
}

TEST_F(MainWindowTest, ALongUrlNeverNarrowsTheTree) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    window->show();
    window->resize(900, 560);
    QApplication::processEvents();
    auto* split = window->findChild<QSplitter*>();
    const int tree = split->sizes().at(0);
    CategoryNode* root = window->Tree().RootNode();
    TIShortcut& s = root->Folder().Shortcuts[0];
    s.URL = "https://example.org/" + std::string(2000, 'a');
    auto* list = window->findChild<QTreeView*>("ListView1");
    list->selectionModel()->select(list->model()->index(window->ListModel().RowOf(s.ID()), 0),
                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QApplication::processEvents();
    EXPECT_EQ(window->HeaderRecord(), QString::fromStdString(s.URL)) << "the whole text is kept";
    EXPECT_EQ(split->sizes().at(0), tree);
    EXPECT_LE(window->width(), 900);
    window->grab().save(Shot("header-long-url.png"));
}

TEST_F(MainWindowTest, IconAndListStylesShowWholeNames) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    window->show();
    window->resize(900, 560);
    CategoryNode* dev = window->Tree().FindCategoryByName("Development", 1);
    window->SelectNode(dev);
    for (const char* style : {"acViewList", "acViewSmall", "acViewLarge"}) {
        window->Action(style)->trigger();
        QApplication::processEvents();
        auto* view = qobject_cast<QListView*>(window->ListView());
        ASSERT_NE(view, nullptr);
        const QFontMetrics metrics(view->font());
        for (int row = 0; row < window->ListModel().rowCount(); ++row) {
            const QModelIndex index = window->ListModel().index(row, 0);
            const QRect cell = view->visualRect(index);
            const QString name = window->ListModel().CellText(row, 0);
            if (std::string(style) == "acViewLarge") {
                // Wrapped below the icon: every line fits the cell's width, in at most three lines.
                const QRect text = metrics.boundingRect(QRect(0, 0, cell.width() - 8, 1000),
                                                        Qt::TextWordWrap | Qt::AlignHCenter, name);
                EXPECT_LE(text.height(), 3 * metrics.lineSpacing()) << name.toStdString();
                EXPECT_LE(text.width(), cell.width() - 8) << name.toStdString();
            } else {
                EXPECT_GE(cell.width(), metrics.horizontalAdvance(name) + 16 + 8) << style << " " << name.toStdString();
                EXPECT_GE(cell.width(), 120 + 20) << style;
            }
        }
        window->grab().save(Shot(std::string(style) == "acViewLarge" ? "large-icons-full-names.png"
                                 : std::string(style) == "acViewSmall" ? "small-icons-full-names.png"
                                                                       : "list-full-names.png"));
    }
}

TEST_F(MainWindowTest, TheAboutBoxFitsItsPicture) {
    TAboutForm about("4.0.2.312");
    about.show();
    QApplication::processEvents();
    auto* logo = about.findChild<QLabel*>("imgLogo");
    ASSERT_NE(logo, nullptr);
    ASSERT_FALSE(logo->pixmap().isNull());
    EXPECT_EQ(logo->size(), logo->pixmap().size()) << "the picture is shown whole";
    EXPECT_TRUE(about.rect().contains(logo->geometry()));
    EXPECT_EQ(about.TitleText(), "Build 4.0.2.312 (Update 2)");
    auto* title = about.findChild<QLabel*>("lblTitle");
    EXPECT_EQ(title->height(), title->sizeHint().height()) << "the build line stays on one line";
    about.grab().save(Shot("about-box.png"));
}

TEST_F(MainWindowTest, TreeNodesShowTheirSelectedImagesAndFonts) {
    ASSERT_TRUE(window->OpenDocument(Sample()));
    auto* model = static_cast<CategoryTreeModel*>(window->TreeView()->model());
    const QModelIndex root = model->IndexOf(window->Tree().RootNode());
    const QIcon icon = root.data(Qt::DecorationRole).value<QIcon>();
    const QImage normal = icon.pixmap(16, 16, QIcon::Normal).toImage();
    const QImage selected = icon.pixmap(16, 16, QIcon::Selected).toImage();
    EXPECT_NE(normal, selected) << "image 4 for the selected root, image 3 otherwise";

    // The delegate makes the selected node bold and the one under the pointer underlined.
    struct Probe : CategoryNodeDelegate {
        using CategoryNodeDelegate::CategoryNodeDelegate;
        QStyleOptionViewItem Option(const QModelIndex& i, QStyle::State state) const {
            QStyleOptionViewItem o;
            o.state = state;
            initStyleOption(&o, i);
            return o;
        }
    } probe;
    EXPECT_TRUE(probe.Option(root, QStyle::State_Selected | QStyle::State_Enabled).font.bold());
    const QStyleOptionViewItem hot = probe.Option(root, QStyle::State_MouseOver | QStyle::State_Enabled);
    EXPECT_TRUE(hot.font.underline());
    EXPECT_FALSE(hot.font.bold());
    EXPECT_FALSE(probe.Option(root, QStyle::State_Enabled).font.underline());
}
