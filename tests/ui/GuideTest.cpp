// The guide window: opened from the start menu and from the game window, it
// shows the guide's text and pictures, its links jump inside it, and it lives
// beside the game window without either blocking the other.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QTimer>
#include <QToolButton>

#include "core/Forms.h"
#include "core/GameState.h"
#include "core/UnitStartMenu.h"
#include "ui/TestRealm.h"
#include "ui/UnitGame.h"
#include "ui/UnitGuide.h"

namespace {

struct GuideTest : ::testing::Test {
    void SetUp() override { CreateForms(); }
    void TearDown() override { DestroyForms(); }

    // A click the way the window system delivers it, to the window as a
    // whole: a window blocked by a modal one never receives it.
    static void ClickThroughWindow(QWidget* w, QPoint at) {
        QWidget* top = w->window();
        QTest::mouseClick(top->windowHandle(), Qt::LeftButton, Qt::NoModifier, w->mapTo(top, at));
        QApplication::processEvents();
    }

    // Where the guide stood when the last link was followed.
    static inline int linkSeenAt = 0;

    static QTextDocument* Document() { return FormGuide->BrowserGuide->document(); }

    // The first text fragment that links to href.
    static QTextFragment LinkTo(const QString& href) {
        for (QTextBlock b = Document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().anchorHref() == href) return it.fragment();
        return {};
    }

    // Follows the link to href with a click on it, and tells whether the
    // heading it names came to the top of the window.
    static bool JumpsTo(const QString& href, const QString& heading) {
        QTextBrowser* browser = FormGuide->BrowserGuide;
        browser->home();
        // The whole guide laid out, so that no later layout moves the heading.
        Document()->documentLayout()->blockBoundingRect(Document()->lastBlock());
        QApplication::processEvents();
        const QTextFragment link = LinkTo(href);
        if (!link.isValid()) return false;
        QTextCursor c(Document());
        c.setPosition(link.position() + 1);
        browser->setTextCursor(c);
        browser->ensureCursorVisible();
        QApplication::processEvents();
        linkSeenAt = browser->verticalScrollBar()->value();
        ClickThroughWindow(browser->viewport(), browser->cursorRect(c).center());
        for (QTextBlock b = Document()->begin(); b.isValid(); b = b.next())
            if (b.blockFormat().headingLevel() > 0 && b.text() == heading) {
                const qreal top = Document()->documentLayout()->blockBoundingRect(b).top();
                return browser->verticalScrollBar()->value() > 0 &&
                       qAbs(browser->verticalScrollBar()->value() - top) <= 2;
            }
        return false;
    }
};

TEST_F(GuideTest, StartMenuOpensTheGuideWithTextPicturesAndWorkingLinks) {
    FormStartMenu->show();
    ASSERT_EQ(FormGuide, nullptr);  // made when first asked for
    FormStartMenu->ButtonHelp->click();
    ASSERT_NE(FormGuide, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FormGuide));
    EXPECT_EQ(FormGuide->objectName(), QStringLiteral("FormGuide"));
    EXPECT_EQ(FormGuide->windowTitle(), QStringLiteral("Руководство"));
    EXPECT_FALSE(FormGuide->isModal());
    EXPECT_NE(FormGuide->minimumSize(), FormGuide->maximumSize());  // resizable
    EXPECT_TRUE(FormStartMenu->isVisible());
    // At its first size the guide reads without scrolling sideways.
    Document()->documentLayout()->blockBoundingRect(Document()->lastBlock());
    QApplication::processEvents();
    EXPECT_FALSE(FormGuide->BrowserGuide->horizontalScrollBar()->isVisible());

    const QString text = Document()->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Содержание")));
    EXPECT_TRUE(text.contains(QStringLiteral("Срок службы и возвращение домой")));

    // Every picture the guide names is in the program, at its own size.
    int pictures = 0;
    for (QTextBlock b = Document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat()) continue;
            const QString name = f.toImageFormat().name();
            const QImage shown = Document()->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
            EXPECT_FALSE(shown.isNull()) << name.toStdString();
            if (name == QStringLiteral("guide/start-menu.png")) {
                EXPECT_EQ(shown.size(), QSize(512, 335));
            }
            ++pictures;
        }
    EXPECT_GE(pictures, 10);

    // A line of the table of contents and a link in the text.
    EXPECT_TRUE(JumpsTo(QStringLiteral("#7-битвы"), QStringLiteral("7. Битвы")));
    EXPECT_TRUE(JumpsTo(QStringLiteral("#гарнизон-и-полевое-войско"), QStringLiteral("Гарнизон и полевое войско")));
    // "Назад" goes back to where the link was, "Содержание" to the beginning.
    ASSERT_TRUE(FormGuide->btnBack->isEnabled());
    FormGuide->btnBack->click();
    QApplication::processEvents();
    EXPECT_EQ(FormGuide->BrowserGuide->verticalScrollBar()->value(), linkSeenAt);
    FormGuide->btnContents->click();
    QApplication::processEvents();
    EXPECT_EQ(FormGuide->BrowserGuide->verticalScrollBar()->value(), 0);

    // A second "Справка" brings up the same window.
    TFormGuide* first = FormGuide;
    FormGuide->close();
    FormStartMenu->ButtonHelp->click();
    EXPECT_EQ(FormGuide, first);
    EXPECT_TRUE(FormGuide->isVisible());
}

TEST_F(GuideTest, BesideTheRunningGameNeitherBlocksTheOtherHoweverTheGuideWasOpened) {
    BuildRealm(Game, 1);
    // Opened from the start menu before the game, and left in front.
    FormStartMenu->show();
    FormStartMenu->ButtonHelp->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(FormGuide));
    FormGuide->activateWindow();
    FormStartMenu->hide();  // as the new game hides it
    bool usableFromStartMenu = false, openedByF1 = false, usableFromF1 = false, gamePlayable = false;
    QTimer::singleShot(0, FormGame, [&] {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(FormGame));
        ASSERT_EQ(QApplication::activeModalWidget(), FormGame);
        usableFromStartMenu = JumpsTo(QStringLiteral("#9-дипломатия"), QStringLiteral("9. Дипломатия"));
        FormGuide->close();
        FormGame->activateWindow();
        QTest::keyClick(FormGame, Qt::Key_F1);
        openedByF1 = FormGuide->isVisible();
        usableFromF1 = JumpsTo(QStringLiteral("#10-цвета-карты"), QStringLiteral("10. Цвета карты"));
        // The game window still answers a click: its page "Карта".
        QTabBar* tabs = FormGame->PCMain->tabBar();
        ClickThroughWindow(tabs, tabs->tabRect(1).center());
        gamePlayable = FormGame->PCMain->currentWidget() == FormGame->tsMap;
        FormGame->ItemExit->trigger();
    });
    FormGame->exec();
    EXPECT_TRUE(usableFromStartMenu);
    EXPECT_TRUE(openedByF1);
    EXPECT_TRUE(usableFromF1);
    EXPECT_TRUE(gamePlayable);
    // The guide stays open after the game window has closed.
    EXPECT_TRUE(FormGuide->isVisible());
}

}  // namespace
