#include <QTest>
class WindowFindTest : public QObject {
    Q_OBJECT
};
QTEST_MAIN(WindowFindTest)
#include "WindowFindTest.moc"
