#include "ui/help_texts.h"

#include <QStringList>

namespace tavrin {

namespace {

// One line of text per entry; the figure lines keep their runs of blanks.
const char *const kRulesLines[] = {
    "    Tavrin是一种益智游戏，但在棋盘上下棋非常麻烦，因为要不停地将黑白",
    "两棋互换(日本人想出了一个好办法：将棋子正反面涂为异色)，于是我用basic",
    "写了这么一个小程序，以方便大家。",
    "    游戏规则非常简单：在一个棋盘上先放上四枚棋子，黑白双方轮流下棋，",
    "每一子须下在棋盘的空白处且能\u201c吃掉\u201d对方至少一子，否则自己不能下而",
    "由对方继续下；\u201c吃掉\u201d对方的棋子是指：以落点为中心，向左看去经过几",
    "个对方的棋子后又有自己的棋子(中间不能有空格)，则这几个对方的棋子就",
    "被换成我方的棋子，即被吃掉了，对方被换掉几子便是吃了几子。此种\u201c看",
    "法\u201d应同时应用于向右、向上、向下等八个方向。",
    "  以下面一个棋盘的局部为例，\u201c.\u201d为空位、\u201co\u201d为白棋、\u201cx\u201d为黑棋：",
    "   若白棋在d4下子，棋盘变为图二，白棋吃掉黑棋4子。",
    "",
    "图一:             图二:",
    "  1 2 3 4 5         1 2 3 4 5",
    "a o . . o .       a o . . o .",
    "b . x x . .       b . o x x .",
    "c . . x x .       c . . o . .",
    "d o x x . .       d o o o o .",
    "e . . . . .       e . . . . .",
    "判断胜负:",
    "    若棋盘下满了，则棋子多的一方胜利；若中途一方棋子被全部吃完，",
    "对方胜利。",
};

// Joins lines the way the message texts are built: each line, the last included, ends in CR.
QString crLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line + QLatin1Char('\r');
    }
    return text;
}

} // namespace

QString rulesText()
{
    QStringList lines;
    for (const char *line : kRulesLines) {
        lines << QString::fromUtf8(line);
    }
    return crLines(lines);
}

QString aboutText(const QString &homePage)
{
    return crLines({QStringLiteral("          Tavrin v1.0 for Win 95"), QString(), QString(),
        QStringLiteral("更多软件:") + homePage});
}

} // namespace tavrin
