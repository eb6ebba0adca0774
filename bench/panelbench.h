#pragma once

#include <QString>

// What choosing a folder in a real thumbnail panel costs, as the user sees it.
struct PanelTiming
{
    double chosen = 0; // until setFolder returned: listed and sorted
    double chosenCpu = 0; // the processor time of all threads meanwhile
    double firstScreen = -1; // until every row on screen has its thumbnail; -1 on timeout
    double longestStall = 0; // the longest stretch the event loop did not turn
};

// Chooses the folder in a fresh, shown thumbnail panel of the dock's usual size, from
// within the event loop, and waits until the first screen has its thumbnails. Needs a
// QApplication.
PanelTiming timeChoosingFolder(const QString &folder, int timeoutMs = 60000);

// What scrolling through a folder screen by screen holds in memory.
struct ScrollMemory
{
    qint64 rssBefore = -1; // resident bytes before the folder was chosen
    qint64 rssListed = -1; // after choosing it: the model's items
    qint64 rssAfter = -1; // after every screen had its thumbnails, and back at the top
    qint64 thumbnailBytes = -1; // the pixmaps the model holds at the end
    int screens = 0;
};

// Scrolls a fresh panel through the folder a screen at a time, waiting at each for its
// thumbnails, then back to the top.
ScrollMemory scrollThrough(const QString &folder, int timeoutMs = 300000);
