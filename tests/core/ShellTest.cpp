#include <gtest/gtest.h>

#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "core/FormSupport.h"
#include "core/Forms.h"
#include "core/GameState.h"
#include "core/Jpeg.h"
#include "core/UnitAboutAuthor.h"
#include "core/UnitAboutProgram.h"
#include "core/UnitStartMenu.h"
#include "support/ModalDriver.h"

namespace {

struct ShellTest : ::testing::Test {
    void SetUp() override { CreateForms(); }
    void TearDown() override { DestroyForms(); }
};

TEST_F(ShellTest, WindowsAreCreatedInOrderUnderTheirGlobalNames) {
    EXPECT_EQ(FormCreationOrder(),
              (QStringList{"FormStartMenu", "FormGame", "FormSelectFeud", "FormAboutAuthor", "FormSelectMap",
                           "FormSetUp", "FormAboutProgram", "FormInputNameGamer", "Form1", "FormFeudalSetup"}));
    // The start menu's creation filled the name tables.
    EXPECT_EQ(Game.NamesFeud[1].Name, QStringLiteral("Бургундия"));
    EXPECT_EQ(Game.NamesFeudal[1], QStringLiteral("Карл"));
}

TEST_F(ShellTest, StartMenuLayout) {
    QWidget* menu = FormStartMenu;
    EXPECT_EQ(menu->windowTitle(), QStringLiteral("Marchfell: Ostrevane"));
    EXPECT_EQ(menu->size(), QSize(512, 335));
    EXPECT_EQ(menu->minimumSize(), menu->maximumSize());
    EXPECT_FALSE(menu->windowFlags() & Qt::WindowMaximizeButtonHint);
    const struct {
        const char* name;
        const char* caption;
        int top;
    } buttons[] = {{"ButtonStart", "Игра", 176},
                   {"ButtonLoad", "Загрузить", 208},
                   {"ButtonSetUp", "Настройка", 240},
                   {"ButtonHelp", "Справка", 272},
                   {"ButtonExit", "Выход", 304}};
    for (const auto& b : buttons) {
        auto* button = menu->findChild<QToolButton*>(QString::fromLatin1(b.name));
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption));
        EXPECT_EQ(button->geometry(), QRect(400, b.top, 105, 25)) << b.name;
        EXPECT_EQ(button->font().pixelSize(), 21);
        EXPECT_TRUE(button->autoRaise());
    }
}

// Runs the message loop until the program ends or a second passes.
int RunLoop() {
    QTimer::singleShot(1000, [] { QCoreApplication::exit(99); });
    return QApplication::exec();
}

TEST_F(ShellTest, ExitAndCloseBoxBothEndTheProgram) {
    FormStartMenu->show();
    QTimer::singleShot(0, [] { FormStartMenu->ButtonExit->click(); });
    EXPECT_EQ(RunLoop(), 0);
    EXPECT_FALSE(FormStartMenu->isVisible());

    FormStartMenu->show();
    QTimer::singleShot(0, [] { FormStartMenu->close(); });
    EXPECT_EQ(RunLoop(), 0);
    EXPECT_FALSE(FormStartMenu->isVisible());
}

TEST_F(ShellTest, SettingsButtonOpensTheSettingsDialogModally) {
    ModalDriver driver;
    QString seen;
    driver.Then([&](QWidget* w) {
        seen = w->objectName();
        w->close();
    });
    FormStartMenu->ButtonSetUp->click();
    EXPECT_EQ(seen, QStringLiteral("FormSetUp"));
}

TEST_F(ShellTest, AboutDialogs) {
    QWidget* program = reinterpret_cast<QWidget*>(FormAboutProgram);
    EXPECT_EQ(program->windowTitle(), QStringLiteral("О программе"));
    EXPECT_EQ(program->size(), QSize(248, 145));
    QStringList texts;
    for (auto* l : program->findChildren<QLabel*>()) texts << l->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Marchfell:")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Ostrevane")));
    // The version line names the release of the package's newest changelog entry.
    QFile changelog(QStringLiteral(MARCHFELL_SOURCE_ASSETS "/changelog"));
    ASSERT_TRUE(changelog.open(QIODevice::ReadOnly));
    const QString heading = QString::fromUtf8(changelog.readLine());
    const QString release = heading.section(u'(', 1).section(u')', 0, 0);
    EXPECT_TRUE(heading.startsWith(QStringLiteral("marchfell (")) && !release.isEmpty()) << heading.toStdString();
    EXPECT_EQ(program->findChild<QLabel*>(QStringLiteral("LVersion"))->text(), QStringLiteral("Версия ") + release);

    QWidget* author = reinterpret_cast<QWidget*>(FormAboutAuthor);
    EXPECT_EQ(author->windowTitle(), QStringLiteral("Об авторе..."));
    EXPECT_EQ(author->size(), QSize(537, 329));
    QStringList captions;
    for (auto* l : author->findChildren<QLabel*>()) captions << l->text();
    for (const char* c : {"Автор:", "Город:", "Ник:", "Группа:", "e-mail:"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(c))) << c;
    // Five read-only fields with their values, top to bottom.
    int top = -1;
    for (const char* name : {"EditAuthor", "EditCity", "EditNick", "EditGroup", "EditMail"}) {
        const auto* field = author->findChild<QLineEdit*>(QString::fromLatin1(name));
        ASSERT_NE(field, nullptr) << name;
        EXPECT_GT(field->y(), top) << name;
        top = field->y();
        EXPECT_TRUE(field->isReadOnly()) << name;
        EXPECT_FALSE(field->text().isEmpty()) << name;
    }
}

TEST(MessageBoxTest, TheGamesBoxesSpeakRussianWithoutTheToolkitTranslation) {
    UseToolkitTranslation(false);
    // Without the translation the toolkit's own words stay English.
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Yes"));
    const struct {
        std::function<void()> open;
        QMessageBox::StandardButton press;
        QStringList buttons;
    } rows[] = {
        {[] { EXPECT_FALSE(AskYesNo(nullptr, QStringLiteral("Вы уверены?"))); }, QMessageBox::No, {"Да", "Нет"}},
        {[] { ShowErrorBox(nullptr, QStringLiteral("Ошибка.")); }, QMessageBox::Ok, {"ОК"}},
        {[] {
             QMessageBox box(QMessageBox::Question, QStringLiteral("Marchfell"), QStringLiteral("Сохранить?"),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
             SetRussianButtons(box);
             EXPECT_EQ(box.exec(), QMessageBox::Cancel);
         },
         QMessageBox::Cancel, {"Да", "Нет", "Отмена"}},
    };
    for (const auto& row : rows) {
        QStringList seen;
        ModalDriver driver;
        driver.Then([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr);
            for (QAbstractButton* b : box->buttons()) seen << b->text();
            driver.Answer(box, row.press);
        });
        row.open();
        seen.sort();
        QStringList expected = row.buttons;
        expected.sort();
        EXPECT_EQ(seen, expected);
    }
    UseToolkitTranslation(true);
}

// The page control draws its pane frame from a picture it keeps; after a new
// size or new colours, around a control that paints all its own pixels (a
// hole in the region to paint), it must still show exactly what a plain one
// shows.
TEST(PageControlTest, LooksExactlyLikeAPlainPageControlThroughEveryChange) {
    TPageControl cached;
    QTabWidget plain;
    for (QTabWidget* w : {static_cast<QTabWidget*>(&cached), &plain}) {
        w->addTab(new QWidget, QStringLiteral("Карта"));
        auto* opaque = new QWidget(w->widget(0));
        opaque->setAutoFillBackground(true);
        opaque->setGeometry(40, 30, 120, 80);
        w->show();
    }
    const struct {
        QSize size;
        QColor window;  // invalid: the application's palette
    } rows[] = {{{609, 369}, {}}, {{300, 200}, {}}, {{300, 200}, QColor(200, 170, 120)}};
    for (const auto& row : rows) {
        for (QTabWidget* w : {static_cast<QTabWidget*>(&cached), &plain}) {
            w->resize(row.size);
            QPalette palette = QApplication::palette();
            if (row.window.isValid()) palette.setColor(QPalette::Window, row.window);
            w->setPalette(palette);
        }
        EXPECT_EQ(cached.grab().toImage(), plain.grab().toImage()) << row.size.width() << "x" << row.size.height();
    }
}

TEST(JpegTest, DecodesWhatQtWritesAndRefusesGarbage) {
    if (!QImageWriter::supportedImageFormats().contains("jpg"))
        GTEST_SKIP() << "this Qt has no JPEG writer to make the sample (the Windows build leaves Qt's JPEG plugin out; "
                        "the game reads JPEG with libjpeg itself)";
    // Red on top, busy below, so that the picture data far outweighs the header.
    QImage source(128, 128, QImage::Format_RGB888);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            source.setPixelColor(x, y, y < 32 ? QColor(200, 30, 40) : QColor(x * 37 % 256, x * y % 256, y * 53 % 256));
    QByteArray bytes;
    {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(source.save(&buffer, "JPG", 95));
    }
    QString error;
    const QImage decoded = DecodeJpegData(bytes, &error);
    ASSERT_FALSE(decoded.isNull()) << error.toStdString();
    EXPECT_EQ(decoded.size(), QSize(128, 128));
    const QColor c = decoded.pixelColor(20, 15);
    EXPECT_NEAR(c.red(), 200, 6);
    EXPECT_NEAR(c.green(), 30, 6);
    EXPECT_NEAR(c.blue(), 40, 6);

    // Cut in its picture data, a file decodes to the whole size with the rows
    // before the cut intact (libjpeg fills the rest); cut in its header, it
    // is refused with a reason.
    const QImage cut = DecodeJpegData(bytes.left(bytes.size() * 2 / 3), &error);
    ASSERT_FALSE(cut.isNull()) << error.toStdString();
    EXPECT_EQ(cut.size(), QSize(128, 128));
    EXPECT_EQ(cut.pixelColor(20, 15), c);
    error.clear();
    EXPECT_TRUE(DecodeJpegData(bytes.left(20), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(DecodeJpegData(QByteArray("not a jpeg at all"), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(DecodeJpegData(QByteArray(), &error).isNull());
}

}  // namespace
