// The lines of the event memo, each kind as the feudal it concerns reads it.
#include <memory>

#include <gtest/gtest.h>

#include "core/Names.h"
#include "engine/Events.h"
#include "ui/EventText.h"

namespace {

TEvent Battle(int attacker, int defender, int a, int d, int lostA, int lostD, bool won, int before, int after) {
    TEvent e = MakeEvent(EventBattle, attacker, defender);
    e.Year = 1;
    e.Week = 3;
    e.Figures[FigAttackers] = a;
    e.Figures[FigDefenders] = d;
    e.Figures[FigAttackersLost] = lostA;
    e.Figures[FigDefendersLost] = lostD;
    e.Flag = won ? 1 : 0;
    e.SeniorBefore = static_cast<uint8_t>(before);
    e.Senior = static_cast<uint8_t>(won ? after : 0);
    return e;
}

TEvent Of(uint8_t kind, int feud, int target, int figure = 0, uint8_t flag = 0, int senior = 0) {
    TEvent e = MakeEvent(kind, feud, target);
    e.Year = 2;
    e.Week = 7;
    e.Figures[0] = figure;
    e.Flag = flag;
    e.Senior = static_cast<uint8_t>(senior);
    return e;
}

TEST(EventText, EachKindAsTheFeudalItConcernsReadsIt) {
    // Карл holds Бургундия (1), Иван is the king in Лотарингия (2), Август
    // holds Саксония (3), Андрей Анжу (10); feud 13 has no names.
    auto s = std::make_unique<TGameState>();
    ClearGameData(*s);
    FillNameTables(*s);
    s->QuantityFeud = 13;
    const char* names[] = {"", "Карл", "Иван", "Август", "", "", "", "", "", "", "Андрей"};
    for (int f = 1; f <= 13; ++f) {
        s->Feuds[f].NameFeud = static_cast<uint8_t>(f);
        s->Feuds[f].NameFeudal.Assign(QString::fromUtf8(f <= 10 ? names[f] : ""));
    }
    s->KingFeud = 2;
    const QString when = QStringLiteral("1 год, май, 3 неделя: ");
    const QString fight = when + QStringLiteral("Барон Карл Бургундский напал на Саксонию (Барон Август Саксонский): ");
    const QString yearEnd = QStringLiteral("2 год, июнь, 3 неделя: ");
    const struct {
        int viewer;
        TEvent event;
        QString line;
    } rows[] = {
        {1, Battle(1, 3, 40, 25, 8, 25, true, 0, 2),
         fight + QStringLiteral("40 против 25, потери 8 и 25. Победа. Саксония — вассал короля Ивана.")},
        {3, Battle(1, 3, 40, 25, 8, 25, true, 0, 2),
         fight + QStringLiteral("40 против 25, потери 8 и 25. Поражение. Вы теперь вассал короля Ивана.")},
        {3, Battle(1, 3, 40, 25, 8, 25, true, 2, 2),
         fight + QStringLiteral("40 против 25, потери 8 и 25. Поражение. Вы остаётесь вассалом короля Ивана.")},
        {1, Battle(1, 3, 40, 25, 8, 25, true, 0, 1),
         fight + QStringLiteral("40 против 25, потери 8 и 25. Победа. Саксония — теперь ваш вассал.")},
        {3, Battle(1, 3, 5, 20, 1, 2, false, 0, 0),
         fight + QStringLiteral("5 против 20, потери 1 и 2. Победа.")},
        {1, Battle(1, 3, 0, 20, 0, 0, false, 0, 0),
         fight + QStringLiteral("0 против 20, потери 0 и 0. Поражение: у вас не было войска в поле.")},
        {3, Battle(1, 3, 40, 5, 3, 1, true, 1, 3),
         fight + QStringLiteral("40 против 5, потери 3 и 1. Поражение. Вы теперь сами себе сеньор.")},
        {1, Battle(1, 3, 40, 5, 3, 1, true, 1, 3),
         fight + QStringLiteral("40 против 5, потери 3 и 1. Победа. Барон Август Саксонский теперь сам себе сеньор.")},
        {1, Battle(1, 13, 9, 0, 1, 0, true, 0, 1),
         when + QStringLiteral("Барон Карл Бургундский напал на феод 13 (Барон  ): 9 против 0, потери 1 и 0. Победа. "
                               "Феод 13 — теперь ваш вассал.")},
        {1, Of(EventMove, 1, 10), yearEnd + QStringLiteral("Ваше войско перешло в Анжу.")},
        {1, Of(EventAttackPassed, 1, 10),
         yearEnd + QStringLiteral("Приказ захватить Анжу не выполнен: войско барона Андрея Анжуйского стояло не в своём "
                                  "феоде, битвы не было.")},
        {1, Of(EventLenniksAnswered, 1, 1, 12), yearEnd + QStringLiteral("На ваш призыв явилось ленников: 12.")},
        {1, Of(EventLenniksAnswered, 1, 1, 0), yearEnd + QStringLiteral("На ваш призыв не явился ни один ленник.")},
        {1, Of(EventLenniksHome, 1, 1, 12, HomeServiceOver),
         yearEnd + QStringLiteral("Служба ленников окончена, домой ушло: 12.")},
        {1, Of(EventLenniksHome, 1, 1, 7, HomeDismissed), yearEnd + QStringLiteral("Ленники распущены, домой ушло: 7.")},
        {1, Of(EventLenniksHome, 1, 1, 20, HomeYearEnd), yearEnd + QStringLiteral("Ленники разошлись по домам к концу года: 20.")},
        {2, Of(EventVassalWon, 1, 3, 0, 0, 2),
         yearEnd + QStringLiteral("Барон Карл Бургундский разбил барона Августа Саксонского: Саксония — теперь ваш вассал.")},
        {2, Of(EventVassalLost, 1, 3, 0, 0, 10),
         yearEnd + QStringLiteral("Барон Карл Бургундский разбил вашего вассала барона Августа Саксонского. Саксония — "
                                  "вассал барона Андрея Анжуйского.")},
        {2, Of(EventVassalLost, 1, 3, 0, 0, 3),
         yearEnd + QStringLiteral("Барон Карл Бургундский разбил вашего вассала барона Августа Саксонского. Барон Август "
                                  "Саксонский теперь сам себе сеньор.")},
    };
    for (const auto& row : rows) EXPECT_EQ(EventLine(*s, row.viewer, row.event).toStdString(), row.line.toStdString());

    TEvent year = Of(EventYearEnd, 1, 1);
    for (int k = 0; k < 5; ++k) year.Figures[k] = 1000 - 100 * k;
    s->Year = 1;
    s->Week = 3;
    RecordEvent(*s, 1, Of(EventMove, 1, 3));  // dated with the week now running
    s->Week = 7;
    RecordEvent(*s, 1, year);
    EXPECT_EQ(EventLines(*s, 1),
              (QStringList{when + QStringLiteral("Ваше войско перешло в Саксонию."),
                           QStringLiteral("1 год, июнь, 3 неделя: Конец года: зерна +1000, коров +900, коней +800, "
                                          "крестьян +700, ленников +600. Все призывы сняты, ленников можно призвать "
                                          "снова.")}));
}

TEST(EventText, TitlesAfterVassalAndBeat) {
    auto s = std::make_unique<TGameState>();
    ClearGameData(*s);
    FillNameTables(*s);
    s->QuantityFeud = 12;
    s->KingFeud = 12;
    const struct {
        int feud;
        const char* name;
        const char* title;
    } rows[] = {
        {1, "Андрей", "барона Андрея Бургундского"}, {2, "Игорь", "барона Игоря Лотарингского"},
        {3, "Никита", "барона Никиты Саксонского"},  {4, "Илья", "барона Ильи Шампанского"},
        {5, "Лука", "барона Луки Гасконского"},      {6, "ИВАН", "барона ИВАНА Нормандского"},
        {7, "Игрок 1", "барона Игрок 1 Фландрского"}, {8, "John", "барона John Богемского"},
        {9, "Хосе", "барона Хосе Гиенского"},        {12, "Вильгельм", "короля Вильгельма"},
    };
    for (const auto& row : rows) {
        s->Feuds[row.feud].NameFeudal.Assign(QString::fromUtf8(row.name));
        EXPECT_EQ(TitleGenitive(*s, row.feud).toStdString(), std::string(row.title));
    }
}

}  // namespace
