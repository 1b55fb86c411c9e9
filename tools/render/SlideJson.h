#pragma once
// One slide of the catalogue as a JSON object, its keys named as the slide's members.

#include <QJsonObject>

class CSatzStore;

// The slide at nSatz: its texts and numbers, the pixel size of each picture slot it uses and
// whether the current filters show it.
QJsonObject SatzToJson(const CSatzStore& store, int nSatz);
