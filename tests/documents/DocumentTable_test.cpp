#include "documents/DocumentTable.h"

#include <QTest>

class DocumentTableTest : public QObject {
    Q_OBJECT
private slots:
    void createdWithSlotsZeroAndOneInUse() {
        DocumentTable t;
        t.create();
        QCOMPARE(t.upperBound(), 1);
        QVERIFY(t.AnyDocumentOpen());
        QCOMPARE(t.DocumentStates[1].Changed, 0);
    }

    void lowestFreeSlotIsReusedBeforeGrowing() {
        DocumentTable t;
        t.create();
        QCOMPARE(t.FindFreeSlot(), 2);
        QCOMPARE(t.FindFreeSlot(), 3);
        t.DocumentStates[2].Free = -1;
        t.DocumentStates[3].Free = -1;
        QCOMPARE(t.FindFreeSlot(), 2);
        QCOMPARE(t.DocumentStates[2].Free, 0);
        QCOMPARE(t.upperBound(), 3);
        t.DocumentStates[1].Free = -1;
        QCOMPARE(t.FindFreeSlot(), 1);
        QCOMPARE(t.FindFreeSlot(), 3);
        QCOMPARE(t.FindFreeSlot(), 4);
    }

    void anyNonZeroFreeCountsAsFreeButOnlyMinusOneAsClosed() {
        DocumentTable t;
        t.create();
        t.DocumentStates[1].Free = 1;   // a stray true value
        QVERIFY(t.AnyDocumentOpen());   // only -1 counts as not in use
        QCOMPARE(t.FindFreeSlot(), 1);  // but any non-zero value is free to claim
    }

    void noDocumentOpenOnceEverySlotIsFree() {
        DocumentTable t;
        t.create();
        t.FindFreeSlot();
        t.DocumentStates[1].Free = -1;
        QVERIFY(t.AnyDocumentOpen());
        t.DocumentStates[2].Free = -1;
        QVERIFY(!t.AnyDocumentOpen());
    }

    void fullTableGivesNoSlot() {
        DocumentTable t(3);
        t.create();
        QCOMPARE(t.FindFreeSlot(), 2);
        QCOMPARE(t.FindFreeSlot(), 3);
        QCOMPARE(t.FindFreeSlot(), 0);
        QCOMPARE(t.upperBound(), 3);
        t.DocumentStates[2].Free = -1;
        QCOMPARE(t.FindFreeSlot(), 2);
        QCOMPARE(DocumentTable::kMaxSlot, 32767);
    }
};

QTEST_MAIN(DocumentTableTest)
#include "DocumentTable_test.moc"
