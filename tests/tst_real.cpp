#include "support.h"
class RealTest : public QObject
{
    Q_OBJECT
};
QTEST_MAIN(RealTest)
#include "tst_real.moc"
