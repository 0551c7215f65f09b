// The toolbar pictures, drawn once at start: 24 x 24, addressed by index.
#pragma once

#include <QIcon>
#include <QPixmap>

#include <vector>

enum ToolbarPicture {
    picPage = 0,
    picBack = 1,
    picForward = 2,
    picToc = 3,
    picOpen = 4,
    picSave = 5,
    picHelp = 6,
    picExit = 7,
    picInfo = 8,
    picSearch = 9,
    picCopy = 10,
    picPrint = 11,
    picOracle = 12,
    picChineseOff = 13,
    picChineseOn = 14,
    picZoom = 15,
    pictureCount = 16
};

class TImageList {
public:
    static constexpr int pictureSize = 24;

    TImageList();
    int count() const { return static_cast<int>(pictures_.size()); }
    const QPixmap& picture(int index) const { return pictures_.at(index); }
    QIcon icon(int index) const { return QIcon(picture(index)); }

private:
    std::vector<QPixmap> pictures_;
};
