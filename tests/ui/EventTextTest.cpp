// The lines of the event memo, each kind as the feudal it concerns reads it.
#include <memory>

#include <gtest/gtest.h>

#include "core/Names.h"
#include "engine/Events.h"
#include "ui/EventText.h"

namespace {

// Feud (Feud > Target), figures, flag, senior before > after, dated 1 год, май, 3 неделя.
TEvent Of(uint8_t kind, int feud, int target, std::initializer_list<int> figures = {}, int flag = 0, int before = 0,
          int after = 0) {
    TEvent e = MakeEvent(kind, feud, target);
    e.Year = 1;
    e.Week = 3;
    int k = 0;
    for (int n : figures) e.Figures[k++] = n;
    e.Flag = static_cast<uint8_t>(flag);
    e.SeniorBefore = static_cast<uint8_t>(before);
    e.Senior = static_cast<uint8_t>(after);
    return e;
}

TEST(EventText, EachKindAsTheFeudalItConcernsReadsIt) {
    // Карл holds Бургундия (1), Иван is the king in Лотарингия (2), Август
    // holds Саксония (3), Андрей Анжу (10); feud 13 is left without names.
    auto s = std::make_unique<TGameState>();
    ClearGameData(*s);
    FillNameTables(*s);
    s->NamesFeud[13] = TPossNameFeud{};
    s->QuantityFeud = 13;
    s->KingFeud = 2;
    for (auto [f, name] : {std::pair{1, "Карл"}, {2, "Иван"}, {3, "Август"}, {10, "Андрей"}})
        s->Feuds[f].NameFeudal.Assign(QString::fromUtf8(name));
    for (int f = 1; f <= 13; ++f) s->Feuds[f].NameFeud = static_cast<uint8_t>(f);
    const QString fight = QStringLiteral("Барон Карл Бургундский напал на Саксонию (Барон Август Саксонский): ");
    const struct {
        int viewer;
        TEvent event;
        const char* line;  // after "1 год, май, 3 неделя: "
    } rows[] = {
        {1, Of(EventBattle, 1, 3, {40, 25, 8, 25}, 1, 0, 2), "40 против 25, потери 8 и 25. Победа. Саксония — вассал короля Ивана."},
        {3, Of(EventBattle, 1, 3, {40, 25, 8, 25}, 1, 0, 2), "40 против 25, потери 8 и 25. Поражение. Вы теперь вассал короля Ивана."},
        {3, Of(EventBattle, 1, 3, {40, 25, 8, 25}, 1, 2, 2), "40 против 25, потери 8 и 25. Поражение. Вы остаётесь вассалом короля Ивана."},
        {1, Of(EventBattle, 1, 3, {40, 25, 8, 25}, 1, 2, 2), "40 против 25, потери 8 и 25. Победа. Саксония остаётся вассалом короля Ивана."},
        {1, Of(EventBattle, 1, 3, {9, 0, 1, 0}, 1, 0, 1), "9 против 0, потери 1 и 0. Победа. Саксония — теперь ваш вассал."},
        {3, Of(EventBattle, 1, 3, {5, 20, 1, 2}), "5 против 20, потери 1 и 2. Победа."},
        {1, Of(EventBattle, 1, 3, {0, 20, 0, 0}), "0 против 20, потери 0 и 0. Поражение: у вас не было войска в поле."},
        {3, Of(EventBattle, 1, 3, {40, 5, 3, 1}, 1, 1, 3), "40 против 5, потери 3 и 1. Поражение. Вы теперь сами себе сеньор."},
        {1, Of(EventMove, 1, 10), "Ваше войско перешло в Анжу."},
        {1, Of(EventMove, 1, 13), "Ваше войско перешло в феод 13."},
        {1, Of(EventAttackPassed, 1, 10),
         "Приказ захватить Анжу не выполнен: войско барона Андрея Анжуйского стояло не в своём феоде, битвы не было."},
        {1, Of(EventLenniksAnswered, 1, 1, {12}), "На ваш призыв явилось ленников: 12."},
        {1, Of(EventLenniksAnswered, 1, 1, {0}), "На ваш призыв не явился ни один ленник."},
        {1, Of(EventLenniksHome, 1, 1, {12}, HomeServiceOver), "Служба ленников окончена, домой ушло: 12."},
        {1, Of(EventLenniksHome, 1, 1, {7}, HomeDismissed), "Ленники распущены, домой ушло: 7."},
        {1, Of(EventLenniksHome, 1, 1, {20}, HomeYearEnd), "Ленники разошлись по домам к концу года: 20."},
        {2, Of(EventVassalWon, 1, 3, {}, 0, 0, 2),
         "Барон Карл Бургундский разбил барона Августа Саксонского: Саксония — теперь ваш вассал."},
        {2, Of(EventVassalLost, 1, 3, {}, 0, 2, 10),
         "Барон Карл Бургундский разбил вашего вассала барона Августа Саксонского. Саксония — вассал барона Андрея Анжуйского."},
        {2, Of(EventVassalLost, 1, 3, {}, 0, 2, 3),
         "Барон Карл Бургундский разбил вашего вассала барона Августа Саксонского. Барон Август Саксонский теперь сам себе сеньор."},
        {1, Of(EventYearEnd, 1, 1, {1000, 5, 2, 10, 0}),
         "Конец года: зерна +1000, коров +5, коней +2, крестьян +10, ленников +0. Все призывы сняты, ленников можно призвать снова."},
    };
    for (const auto& row : rows) {
        const QString what = QString::fromUtf8(row.line);
        const QString line = QStringLiteral("1 год, май, 3 неделя: ") + (row.event.Kind == EventBattle ? fight : QString()) + what;
        EXPECT_EQ(EventLine(*s, row.viewer, row.event).toStdString(), line.toStdString());
    }
    // The list, oldest first, dated with the week the state was in.
    s->Year = 2;
    s->Week = 7;
    RecordEvent(*s, 1, Of(EventMove, 1, 3));
    RecordEvent(*s, 1, Of(EventLenniksAnswered, 1, 1, {3}));
    EXPECT_EQ(EventLines(*s, 1), (QStringList{QStringLiteral("2 год, июнь, 3 неделя: Ваше войско перешло в Саксонию."),
                                              QStringLiteral("2 год, июнь, 3 неделя: На ваш призыв явилось ленников: 3.")}));
    // Personal names decline when they are one word of Russian letters.
    // A name in capitals declines in capitals; an initial, or a name with
    // other signs in it, stays as typed.
    const char* const names[][2] = {
        {"Игорь", "барона Игоря Бургундского"}, {"Никита", "барона Никиты Бургундского"},
        {"Лука", "барона Луки Бургундского"},   {"Илья", "барона Ильи Бургундского"},
        {"ИГОРЬ", "барона ИГОРЯ Бургундского"}, {"Игрок 1", "барона Игрок 1 Бургундского"},
        {"Жан-Поль", "барона Жан-Поль Бургундского"}, {"А", "барона А Бургундского"},
        {"Б", "барона Б Бургундского"}};
    for (const auto& name : names) {
        s->Feuds[1].NameFeudal.Assign(QString::fromUtf8(name[0]));
        EXPECT_EQ(TitleGenitive(*s, 1).toStdString(), std::string(name[1]));
    }
}

}  // namespace
