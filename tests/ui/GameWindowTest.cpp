// The game window as a player meets it: its pages, menus and controls, their
// captions and states at creation, the fixed frame and the ways out.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "core/Forms.h"
#include "core/MapImage.h"
#include "ui/UnitGame.h"

namespace {

class GameWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateForms();
        form = FormGame;
        ASSERT_NE(form, nullptr);
    }
    void TearDown() override { DestroyForms(); }

    template <typename T>
    T* Find(const char* name) const {
        return form->findChild<T*>(QString::fromLatin1(name));
    }
    // The labels of a page whose text is exactly text.
    int LabelsWithText(const QWidget* page, const QString& text) const {
        int n = 0;
        for (const QLabel* l : page->findChildren<QLabel*>())
            if (l->text() == text) ++n;
        return n;
    }
    QStringList ActionTexts(const QMenu* menu) const {
        QStringList texts;
        for (const QAction* a : menu->actions()) texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return texts;
    }

    TFormGame* form = nullptr;
};

TEST_F(GameWindowTest, PagesAreInTabOrderWithTheirCaptions) {
    auto* pc = Find<QTabWidget>("PCMain");
    ASSERT_NE(pc, nullptr);
    ASSERT_EQ(pc->count(), 5);
    const char* names[] = {"tsInformation", "tsMap", "tsArmy", "tsFeudal", "tsDiplomacy"};
    const QStringList captions{"Информация", "Карта", "Войско", "Феодал", "Дипломатия"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(pc->widget(i)->objectName(), QString::fromLatin1(names[i]));
        EXPECT_EQ(pc->tabText(i), captions[i]);
    }
    EXPECT_EQ(pc->geometry(), QRect(8, 0, 609, 369));
}

TEST_F(GameWindowTest, EveryNamedValueLabelExists) {
    const char* names[] = {
        "LTime", "LJobLennik", "LJobVassal", "LAddLennik", "LAddGrain", "LAddCow", "LAddHorse", "LLen", "LLennik",
        "LPeasant", "LGrain", "LCow", "LHorse", "LMapNameFeud", "LMapLen", "LMapLennik", "LMapPeasant", "LMapCow",
        "LMapHorse", "LMapFertility", "LMapPastureCow", "LMapPastureHorse", "LMapLennikAppear", "LMapFeudal",
        "LSenVas", "LMapSeniorVassal", "LMapQuantityArmy", "LArmyCommand", "LLennikQuantity", "LLennikPercent",
        "LLennikSpear", "LLennikSword", "LLennikRiding", "LLennikHealth", "LLennikStrength", "LLennikEndurance",
        "LLennikArmour", "LLennikMorale", "LLennikDiscipline", "LLennikBattle", "LArmyToArmy", "LArmyToCastle",
        "LFeudalLevel", "LFeudalAuth", "LFeudalLevelSpear", "LFeudalLevelSword", "LFeudalLevelRiding",
        "LFeudalHealth", "LFeudalStrength", "LFeudalEndurance", "LFeudalDiscipline", "LFeudalMorale", "LHorseSpeed",
        "LHorseStrength", "LHorseEndurance", "LHorseSize", "LHorseArmourHead", "LHorseArmourBody",
        "LFeudalWeaponSpear", "LFeudalWeaponSword", "LFeudalHelmet", "LFeudalDefence", "LFeudalShield", "LFEudalHand",
        "LFeudalGlove", "LFeudalLeg", "LFeudalVictory", "LFeudalLose", "LFeudalVictorySiege", "LFeudalLoseSiege",
        "LFeudalKillEnemy", "LFeudalKillOur", "LFeudalPrisonerEnemy", "LFeudalPrisonerOur"};
    for (const char* name : names) EXPECT_NE(Find<QLabel>(name), nullptr) << name;

    // The feud panel's values are 73 pixels wide and clip; the feudal's lines are 281 wide.
    for (const char* name : {"LMapNameFeud", "LMapLen", "LMapFertility", "LMapLennikAppear", "LMapCastleLevel"}) {
        ASSERT_NE(Find<QLabel>(name), nullptr) << name;
        EXPECT_EQ(Find<QLabel>(name)->width(), 73) << name;
    }
    EXPECT_EQ(Find<QLabel>("LMapFeudal")->width(), 281);
    EXPECT_EQ(Find<QLabel>("LMapSeniorVassal")->width(), 281);
    EXPECT_EQ(Find<QLabel>("LArmyToArmy")->text(), QStringLiteral("Войско:"));
    EXPECT_EQ(Find<QLabel>("LArmyToCastle")->text(), QStringLiteral("Замок:"));
}

TEST_F(GameWindowTest, CaptionLabelsStandOnTheirPages) {
    const struct {
        QWidget* page;
        QStringList captions;
    } pages[] = {
        {form->tsInformation,
         {"Служба ленника", "Служба вассала", "Ленники:", "Зерно:", "Коровы:", "Кони:", "Лены:", "Ленников:",
          "Крестьяне:", "Сводка событий:"}},
        {form->tsMap,
         {"Название:", "Ленов:", "Ленников:", "Крестьяне:", "Коров:", "Коней:", "Плодородность:", "Прирост коров:",
          "Прирост коней:", "Ленников имеет:", "Уровень замка:", "Феодал:", "Численность:", "Команда:"}},
        {form->tsArmy,
         {"Ленников:", "Процент явки:", "Владение копьем:", "Владение мечом:", "Верховая езда:", "Здоровье:", "Сила:",
          "Выносливость:", "Броня:", "Мораль:", "Дисциплина:", "Битвы:", "Пикинеры:", "Лучники:", "Легкая конница:",
          "Катапульты:", "Баллисты:"}},
        {form->tsFeudal,
         {"Уровень:", "Авторитет:", "Владение копьем:", "Владение мечом:", "Верховая езда:", "Здоровье:", "Сила:",
          "Выносливость:", "Дисциплина:", "Мораль:", "Скорость:", "Размер:", "Броня головы:", "Броня тела:", "Копье:",
          "Меч:", "Шлем:", "Доспех:", "Щит:", "Наручи:", "Перчатки:", "Поножи:", "Выигранные битвы:",
          "Проигранные битвы:", "Успешные осады:", "Безуспешные осады:", "Убито врага:", "Убито своих:",
          "Пленено врагов:", "Пленено своих:"}},
        {form->tsDiplomacy, {"Дерево вассально-сеньорных отношений:", "Договора:"}},
    };
    for (const auto& p : pages)
        for (const QString& caption : p.captions)
            EXPECT_GE(LabelsWithText(p.page, caption), 1) << p.page->objectName().toStdString() << ": "
                                                          << caption.toStdString();
    // "Сила:" and "Выносливость:" are there twice, for the feudal and for his horse.
    EXPECT_EQ(LabelsWithText(form->tsFeudal, QStringLiteral("Сила:")), 2);
}

TEST_F(GameWindowTest, GroupCaptionsArePaddedExceptTwo) {
    QStringList titles;
    for (const QGroupBox* g : form->findChildren<QGroupBox*>()) titles << g->title();
    for (const char* caption :
         {" Время ", " Добавлено ", " Родовой феод ", " Информация о феоде ", " Информация о феодале ", " Войско ",
          " Выбор режима дипломатии ", " Ленное войско ", " Вспомогательное войско ", " Ленники ",
          " Личная информация ", " Конь ", " Оружие ", " Защита ", " Статистика ", "Замок:", "Осадная техника"})
        EXPECT_TRUE(titles.contains(QString::fromUtf8(caption))) << caption;
    EXPECT_EQ(titles.size(), 17);
    EXPECT_EQ(Find<QGroupBox>("gbColorMap")->title(), QStringLiteral(" Выбор режима дипломатии "));
}

TEST_F(GameWindowTest, ButtonsCheckBoxAndRadioButtons) {
    const struct {
        const char* name;
        const char* caption;
        bool enabled;
    } buttons[] = {
        {"btnCallLennik", "Призвать ленников", true},     {"btnDismissLennik", "Распустить ленников", false},
        {"btnCallVassal", "Призвать вассалов", false},    {"btnDismissVassal", "Распустить вассалов", false},
        {"btnSetup", "Настройка", false},                 {"btnBuild", "Построить", true},
        {"cbSelectDipMode", "Карта дипломатии", true},    {"rbDipToFeudalShow", "Отношение к феодалу показываемое", true},
        {"rbDipToFeudalTrue", "Отношение к феодалу настоящее", true},
        {"rbDipFromFeudalShow", "Отношение феодала показываемое", true},
        {"rbDipFromFeudalTrue", "Отношение феодала настоящее", true},
    };
    for (const auto& b : buttons) {
        auto* button = Find<QAbstractButton>(b.name);
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->text(), QString::fromUtf8(b.caption)) << b.name;
        EXPECT_EQ(button->isEnabledTo(button->parentWidget()), b.enabled) << b.name;
    }
    EXPECT_TRUE(Find<QToolButton>("btnBuild")->autoRaise());  // a flat button

    // The feudal page's four commands are all disabled.
    QStringList disabled;
    for (const QPushButton* b : form->tsFeudal->findChildren<QPushButton*>())
        if (!b->isEnabled()) disabled << b->text();
    EXPECT_EQ(disabled, (QStringList{"Экипировка", "Знания", "Тренировка", "Настройка"}));

    EXPECT_FALSE(form->cbSelectDipMode->isChecked());
    EXPECT_FALSE(form->gbColorMap->isEnabled());  // follows the unchecked box
    EXPECT_TRUE(form->rbDipToFeudalShow->isChecked());
    EXPECT_FALSE(form->rbDipToFeudalTrue->isChecked());
}

TEST_F(GameWindowTest, OtherControlsAtCreation) {
    auto* memo = Find<QPlainTextEdit>("mEvent");
    ASSERT_NE(memo, nullptr);
    EXPECT_TRUE(memo->isHidden());
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->size(), QSize(265, 321));

    auto* tb = Find<QSlider>("tbArmy");
    ASSERT_NE(tb, nullptr);
    EXPECT_EQ(tb->orientation(), Qt::Vertical);
    EXPECT_EQ(tb->tickPosition(), QSlider::TicksBothSides);
    EXPECT_EQ(tb->tickInterval(), 1);
    EXPECT_EQ(tb->value(), 0);

    auto* tree = Find<QTreeWidget>("TreeRelation");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->size(), QSize(217, 313));
    EXPECT_EQ(tree->indentation(), 19);
    EXPECT_EQ(tree->editTriggers(), QAbstractItemView::NoEditTriggers);

    auto* map = Find<MapImage>("ImageMap");
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->parentWidget(), form->tsMap);
    EXPECT_EQ(map->geometry(), QRect(8, 8, 400, 200));
    EXPECT_EQ(map->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST_F(GameWindowTest, MainMenuWithShortcuts) {
    auto* bar = Find<QMenuBar>("GameMenu");
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->actions().size(), 2);
    EXPECT_EQ(bar->actions()[0]->text(), QStringLiteral("Игра"));
    EXPECT_EQ(bar->actions()[1]->text(), QStringLiteral("Справка"));
    EXPECT_EQ(ActionTexts(form->ItemGame), (QStringList{"Сохранить игру", "-", "Конец хода", "-", "Выход"}));
    EXPECT_EQ(ActionTexts(form->ItemHelp), (QStringList{"Руководство", "Об авторе", "О программе"}));
    EXPECT_EQ(Find<QAction>("ItemGuide")->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(Find<QAction>("ItemSaveGame")->shortcut(), QKeySequence(Qt::Key_F2));
    EXPECT_EQ(Find<QAction>("ItemEndTurn")->shortcut(), QKeySequence(Qt::Key_F10));
    for (const char* name : {"ItemExit", "ItemAboutAuthor", "ItemAboutProgram"}) {
        ASSERT_NE(Find<QAction>(name), nullptr) << name;
        EXPECT_TRUE(Find<QAction>(name)->shortcut().isEmpty()) << name;
    }
    EXPECT_NE(Find<QMenu>("ItemGame"), nullptr);
    EXPECT_NE(Find<QMenu>("ItemHelp"), nullptr);
}

TEST_F(GameWindowTest, PopupMenuOfTheMap) {
    auto* popup = Find<QMenu>("PopupMap");
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(ActionTexts(popup), (QStringList{"Войско", "Дипломатия"}));
    EXPECT_EQ(ActionTexts(form->PMItemArmy), (QStringList{"Переместить", "Захват феода", "Оборона", "Отменить приказ"}));
    EXPECT_EQ(ActionTexts(form->PMItemArmyDefence), (QStringList{"Собраться в замке", "Выйти из замка"}));
    EXPECT_EQ(ActionTexts(form->PMItemDiplomacy), (QStringList{"Объявить", "Пометить", "Договор", "Приехать"}));
    EXPECT_EQ(ActionTexts(form->PMDipDeclare), (QStringList{"Личным врагом", "Врагом", "Мир", "Союзником"}));
    EXPECT_EQ(ActionTexts(form->PMDipMark),
              (QStringList{"Как личного врага", "Как врага", "Статус неопределен", "Мир", "Как союзника"}));
    EXPECT_EQ(ActionTexts(form->PMDipTreaty), (QStringList{"Политический", "Экономический", "Военный"}));
    for (const char* name :
         {"PMItemArmyMove", "PMItemArmyAttack", "PMItemArmyToCastle", "PMItemArmyFromCastle", "PMItemArmyCancel",
          "PMDipDeclTruePersEnemy", "PMDipDeclTrueEnemy", "PMDipDeclTruePeace", "PMDipDeclTrueAlly",
          "PMDipMarkTruePersEnemy", "PMDipMarkTrueEnemy", "PMDipMarkTrueUnknown", "PMDipMarkTruePeace",
          "PMDipMarkTrueAlly"})
        EXPECT_NE(Find<QAction>(name), nullptr) << name;
    for (const char* name : {"PMItemArmy", "PMItemArmyDefence", "PMItemDiplomacy"})
        EXPECT_NE(Find<QMenu>(name), nullptr) << name;
    EXPECT_FALSE(Find<QAction>("PMItemArrive")->isEnabled());
}

TEST_F(GameWindowTest, FixedFrameAroundTheClientArea) {
    const int menuHeight = form->GameMenu->height();
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_EQ(form->size(), QSize(625, 377 + menuHeight));
    EXPECT_EQ(form->PCMain->parentWidget()->size(), QSize(625, 377));
    EXPECT_EQ(form->PCMain->parentWidget()->y(), menuHeight);
    const Qt::WindowFlags flags = form->windowFlags();
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Marchfell"));
}

// A caption is readable when its text fits the control that shows it.
TEST_F(GameWindowTest, NoCaptionIsClipped) {
    QStringList clipped;
    for (const QLabel* l : form->findChildren<QLabel*>()) {
        if (l->text().isEmpty() || qobject_cast<const MapImage*>(l)) continue;
        const QFontMetrics fm(l->font());
        if (fm.horizontalAdvance(l->text()) > l->width() || fm.height() > l->height()) clipped << l->text();
    }
    for (const QAbstractButton* b : form->findChildren<QAbstractButton*>()) {
        if (b->text().isEmpty() || b->parent() == nullptr || qobject_cast<const QTabBar*>(b->parentWidget())) continue;
        if (b->sizeHint().width() > b->width()) clipped << b->text();
    }
    for (const QGroupBox* g : form->findChildren<QGroupBox*>()) {
        const QFontMetrics fm(g->font());
        if (fm.horizontalAdvance(g->title()) + 20 > g->width()) clipped << g->title();
        // Every child stays inside its group.
        for (const QWidget* w : g->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!g->rect().contains(w->geometry())) clipped << g->title() + QStringLiteral(" / ") + w->objectName();
    }
    // Groups and controls stay inside their page, as the window lays it out when shown.
    form->show();
    for (int i = 0; i < form->PCMain->count(); ++i) {
        form->PCMain->setCurrentIndex(i);
        QWidget* page = form->PCMain->widget(i);
        for (const QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!page->rect().contains(w->geometry()))
                clipped << page->objectName() + QStringLiteral(" / ") + w->objectName();
    }
    form->hide();
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join(QStringLiteral(", ")).toStdString();
}

TEST_F(GameWindowTest, ExitAndCloseBoxEndTheModalRun) {
    QTimer::singleShot(0, form, [this] { form->ItemExit->trigger(); });
    EXPECT_EQ(form->exec(), QDialog::Rejected);
    EXPECT_FALSE(form->isVisible());

    QTimer::singleShot(0, form, [this] { form->close(); });  // what the close box does
    EXPECT_EQ(form->exec(), QDialog::Rejected);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(GameWindowTest, GameMenuShortcutsOnlyWhileTheMenuIsEnabled) {
    // Only the shortcuts are under test here, not the commands behind them.
    QObject::disconnect(form->ItemEndTurn, nullptr, form, nullptr);
    QObject::disconnect(form->ItemSaveGame, nullptr, form, nullptr);
    QSignalSpy endTurn(form->ItemEndTurn, &QAction::triggered);
    QSignalSpy save(form->ItemSaveGame, &QAction::triggered);
    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));

    form->ItemGame->setEnabled(false);
    EXPECT_FALSE(form->ItemEndTurn->isEnabled());
    EXPECT_FALSE(form->ItemSaveGame->isEnabled());
    QTest::keyClick(form, Qt::Key_F10);
    QTest::keyClick(form, Qt::Key_F2);
    EXPECT_EQ(endTurn.count(), 0);
    EXPECT_EQ(save.count(), 0);

    // Disabling the menu's entry in the bar has the same effect.
    form->ItemGame->setEnabled(true);
    form->ItemGame->menuAction()->setEnabled(false);
    EXPECT_FALSE(form->ItemEndTurn->isEnabled());
    form->ItemGame->menuAction()->setEnabled(true);
    EXPECT_TRUE(form->ItemEndTurn->isEnabled());

    QTest::keyClick(form, Qt::Key_F10);
    QTest::keyClick(form, Qt::Key_F2);
    EXPECT_EQ(endTurn.count(), 1);
    EXPECT_EQ(save.count(), 1);
    form->hide();
}

}  // namespace
