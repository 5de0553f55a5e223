// The services the game asks of the window: questions, information, the Save dialog.
#include "qt_translation.h"
#include "ui_test_support.h"

#include <QTest>

using namespace tavrin;
using namespace tavrin::test;

class WindowServicesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void questionShowsTitleIconAndLines_data();
    void questionShowsTitleIconAndLines();
    void questionReportsTheAnswer_data();
    void questionReportsTheAnswer();
    void informationHasOnlyOk();
    void saveDialogOpensInTheFolderWithThePattern();
    void saveDialogReturnsTheChosenPath();
    void cancelledSaveDialogReturnsNothing();

private:
    PrivateRuntimeFolder runtime_;
    QTemporaryDir folder_;
    xq *window_ = nullptr;
};

void WindowServicesTest::initTestCase()
{
    QVERIFY(installQtTranslation(*QCoreApplication::instance()));
    xq::setNativeFileDialogsAllowed(false);
    QVERIFY(folder_.isValid());
}

void WindowServicesTest::init()
{
    window_ = new xq;
    QVERIFY(loadWindow(*window_));
}

void WindowServicesTest::cleanup()
{
    delete window_;
    window_ = nullptr;
}

void WindowServicesTest::questionShowsTitleIconAndLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("question");
    QTest::addColumn<QString>("shownText");
    QTest::addColumn<QString>("shownTitle");
    QTest::addColumn<int>("shownIcon");

    QTest::newRow("no title gives the caption Tavrin, no icon")
        << "Bad luck , 重新来一盘？" << QString() << false << "Bad luck , 重新来一盘？"
        << "Tavrin" << int(QMessageBox::NoIcon);
    QTest::newRow("own title with the question icon")
        << "这盘棋尚未下完，重新开始吗？"
        << "新局" << true << "这盘棋尚未下完，重新开始吗？"
        << "新局" << int(QMessageBox::Question);
    QTest::newRow("carriage returns become line breaks") << "one\rtwo\r"
                                                         << "t" << false << "one\ntwo\n"
                                                         << "t" << int(QMessageBox::NoIcon);
}

void WindowServicesTest::questionShowsTitleIconAndLines()
{
    QFETCH(QString, text);
    QFETCH(QString, title);
    QFETCH(bool, question);
    QFETCH(QString, shownText);
    QFETCH(QString, shownTitle);
    QFETCH(int, shownIcon);

    SeenBox seen;
    ModalAnswerer answerer;
    answerer.add(pressButton(QMessageBox::Yes, &seen));
    window_->askYesNo(
        text, title, question ? WindowServices::Icon::Question : WindowServices::Icon::None);
    QCOMPARE(seen.text, shownText);
    QCOMPARE(seen.title, shownTitle);
    QCOMPARE(int(seen.icon), shownIcon);
    // Yes and No, in Chinese.
    QCOMPARE(seen.buttons.size(), 2);
    QVERIFY2(
        seen.buttons.join(' ').contains(QStringLiteral("是")), qPrintable(seen.buttons.join(' ')));
    QVERIFY2(
        seen.buttons.join(' ').contains(QStringLiteral("否")), qPrintable(seen.buttons.join(' ')));
}

void WindowServicesTest::questionReportsTheAnswer_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("yes");
    QTest::newRow("Yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("No") << int(QMessageBox::No) << false;
}

void WindowServicesTest::questionReportsTheAnswer()
{
    QFETCH(int, button);
    QFETCH(bool, yes);
    ModalAnswerer answerer;
    answerer.add(pressButton(QMessageBox::StandardButton(button)));
    QCOMPARE(window_->askYesNo(QStringLiteral("?"), QString(), WindowServices::Icon::None), yes);
}

void WindowServicesTest::informationHasOnlyOk()
{
    SeenBox seen;
    ModalAnswerer answerer;
    answerer.add(pressButton(QMessageBox::Ok, &seen));
    window_->showInformation(QStringLiteral("a\rb\r"), QString());
    QCOMPARE(seen.buttons.size(), 1);
    QCOMPARE(seen.title, QStringLiteral("Tavrin"));
    QCOMPARE(seen.text, QStringLiteral("a\nb\n"));
}

void WindowServicesTest::saveDialogOpensInTheFolderWithThePattern()
{
    QString directory;
    QString name;
    ModalAnswerer answerer;
    answerer.add(saveAs(folder_.filePath(QStringLiteral("x.tvr")), &directory, &name));
    window_->chooseSaveFile(
        QStringLiteral("保存这盘棋"), folder_.path() + QStringLiteral("/*.tvr"));
    QCOMPARE(directory, QDir(folder_.path()).absolutePath());
    QCOMPARE(name, QStringLiteral("*.tvr"));
}

void WindowServicesTest::saveDialogReturnsTheChosenPath()
{
    const QString path = folder_.filePath(QStringLiteral("game1"));
    ModalAnswerer answerer;
    answerer.add(saveAs(path));
    const QString chosen = window_->chooseSaveFile(
        QStringLiteral("保存这盘棋"), folder_.path() + QStringLiteral("/*.tvr"));
    QCOMPARE(QFileInfo(chosen).absoluteFilePath(), QFileInfo(path).absoluteFilePath());
}

void WindowServicesTest::cancelledSaveDialogReturnsNothing()
{
    ModalAnswerer answerer;
    answerer.add(cancelDialog());
    QVERIFY(
        window_->chooseSaveFile(QStringLiteral("保存这盘棋"), folder_.path() + "/*.tvr").isEmpty());
    QCOMPARE(answerer.answered(), 1);
}

QTEST_MAIN(WindowServicesTest)
#include "tst_window_services.moc"
