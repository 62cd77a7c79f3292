#pragma once

#include "pictures/Bitmap.h"
#include "formats/RtfDocument.h"
#include "wallpaper/WeekPicture.h"

#include <QString>

#include <vector>

namespace tavi::bench {

// About gbkBytes (2 KB unless told) of everyday Chinese notes for day box
// 0..5, in several colour and bold runs and a few paragraphs: what a busy
// week holds.
RtfDocument dayNotes(int day, int gbkBytes = 2048);

// The week as the content picture gets it: eight numbered lines a day.
WeekTexts contentWeek();

// Something like a photo: smooth gradients with rings and a checked band, a
// mix of flat areas and edges, so that a JPEG coder has real work. 24 bits.
Bitmap photoLikePicture(int width, int height);

// The RTF files of a folder, by name, and their contents: the corpus the
// reader benchmarks read. Empty when the folder has none.
struct RtfFile {
    QString path;
    QByteArray bytes;
};
std::vector<RtfFile> rtfCorpus(const QString &folder);

} // namespace tavi::bench
