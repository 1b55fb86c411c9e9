#pragma once
// The vehicle on screen, held by its record rather than its index, so that the show goes on
// after it once the catalogue is rebuilt around it.

#include <QString>

class CSatzStore;

class CShownRecord {
public:
    explicit CShownRecord(const CSatzStore& store);
    // Makes the vehicle's slide in the rebuilt catalogue current, so that the next advance
    // shows the one after it; the start (index 0) when it is gone.
    void Resume(CSatzStore& store) const;

private:
    int m_nArt = 0;
    QString m_strRecord;
};
