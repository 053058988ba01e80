// The guide window: opened from the start menu and from the game window, it
// shows the guide's text and pictures, its links jump inside it, and it lives
// beside the game window without either blocking the other.
#include <gtest/gtest.h>

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
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

    static QTextDocument* Document() { return FormGuide->BrowserGuide->document(); }
    static int ScrolledTo() { return FormGuide->BrowserGuide->verticalScrollBar()->value(); }
    static inline int linkSeenAt = 0;  // where the guide stood when the last link was followed

    // Clicks the first link to href, from the guide's beginning, and tells
    // whether the heading it names came to the top of the window.
    static bool JumpsTo(const QString& href, const QString& heading) {
        QTextBrowser* browser = FormGuide->BrowserGuide;
        browser->home();
        // The whole guide laid out, so that no later layout moves the heading.
        Document()->documentLayout()->blockBoundingRect(Document()->lastBlock());
        qreal top = -1;
        QTextCursor link;
        for (QTextBlock b = Document()->begin(); b.isValid(); b = b.next()) {
            if (b.blockFormat().headingLevel() > 0 && b.text() == heading)
                top = Document()->documentLayout()->blockBoundingRect(b).top();
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (link.isNull() && it.fragment().charFormat().anchorHref() == href) {
                    link = QTextCursor(Document());
                    link.setPosition(it.fragment().position() + 1);
                }
        }
        if (top <= 0 || link.isNull()) return false;
        browser->setTextCursor(link);
        browser->ensureCursorVisible();
        QApplication::processEvents();
        linkSeenAt = ScrolledTo();
        ClickThroughWindow(browser->viewport(), browser->cursorRect(link).center());
        return qAbs(ScrolledTo() - top) <= 2;
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
    EXPECT_TRUE(Document()->toPlainText().contains(QStringLiteral("Срок службы и возвращение домой")));

    // Every picture the guide names is in the program.
    int pictures = 0;
    for (QTextBlock b = Document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QString name = it.fragment().charFormat().toImageFormat().name();
                EXPECT_FALSE(Document()->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>().isNull())
                    << name.toStdString();
                ++pictures;
            }
    EXPECT_GE(pictures, 30);

    // A line of the table of contents and a link in the text.
    EXPECT_TRUE(JumpsTo(QStringLiteral("#7-битвы"), QStringLiteral("7. Битвы")));
    EXPECT_TRUE(JumpsTo(QStringLiteral("#гарнизон-и-полевое-войско"), QStringLiteral("Гарнизон и полевое войско")));
    // "Назад" goes back to where the link was.
    FormGuide->btnBack->click();
    QApplication::processEvents();
    EXPECT_EQ(ScrolledTo(), linkSeenAt);

    // Escape puts it away; asked for again when minimized, it comes back.
    QTest::keyClick(FormGuide, Qt::Key_Escape);
    EXPECT_FALSE(FormGuide->isVisible());
    FormStartMenu->ButtonHelp->click();
    FormGuide->showMinimized();
    FormStartMenu->ButtonHelp->click();
    EXPECT_TRUE(FormGuide->isVisible());
    EXPECT_FALSE(FormGuide->isMinimized());
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
