#include <QTest>
class WindowAuditionTest : public QObject {
    Q_OBJECT
};
QTEST_MAIN(WindowAuditionTest)
#include "WindowAuditionTest.moc"
