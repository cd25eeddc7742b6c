#include <QTest>
class WindowMidiBarTest : public QObject {
    Q_OBJECT
};
QTEST_MAIN(WindowMidiBarTest)
#include "WindowMidiBarTest.moc"
