#pragma once

#include <QString>

// The courier form pictures: looked up by bare file name in AppEnvironment::pictureFolders(),
// and stored for couriers the user adds.
namespace CourierPictures {

// "<courier>.jpg", the picture file of a courier.
QString fileNameOf(const QString& courier);

// The first folder of AppEnvironment::pictureFolders() that holds the file gives it (empty
// when none does).
QString find(const QString& fileName);

// Where an added courier's picture goes: the user's data folder of an installed program,
// the working folder (beside the pictures that came with it) of a portable one.
QString folderForAdded();

// Whether `path` is a JPEG or PNG file that can be read (by its content, whatever its name).
bool isUsable(const QString& path);

// Stores the picture at `source` as the courier's picture in folderForAdded(): a JPEG is
// copied as it is, a PNG converted to JPEG (the look-up decodes "<name>.jpg" as JPEG). The
// file is replaced whole or not at all. Returns the stored path; throws AppError on failure.
QString store(const QString& source, const QString& courier);

}  // namespace CourierPictures
