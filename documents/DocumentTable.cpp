#include "documents/DocumentTable.h"

#include "documents/Form1.h"

DocumentTable::DocumentTable(int maxSlot) : maxSlot_(maxSlot) {}

void DocumentTable::create() {
    Documents.assign(2, nullptr);
    DocumentStates.assign(2, DocumentState{});
}

int DocumentTable::FindFreeSlot() {
    for (int i = 1; i <= upperBound(); ++i) {
        if (DocumentStates[i].Free != 0) {
            DocumentStates[i].Free = 0;
            return i;
        }
    }
    if (upperBound() >= maxSlot_) return 0;
    Documents.emplace_back(nullptr);
    DocumentStates.push_back(DocumentState{});
    return upperBound();
}

bool DocumentTable::AnyDocumentOpen() const {
    for (int i = 1; i <= upperBound(); ++i)
        if (DocumentStates[i].Free != -1) return true;
    return false;
}
