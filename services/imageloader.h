#pragma once

#include <string>

#include "services/export.h"

namespace FileIO { class FileManager; }

// Decodes the picture file read through file_manager (null: the plain file
// system) with the loader named ("png", "jpg", "jpeg", "bmp", "tga", "gif")
// and hands it to the video device named video as the image (name, scene).
// flag is passed through and has no effect. False with imageloader_error()
// naming the file and the reason.
SERVICE_API bool imageloader_loadimage(std::string loader, std::string video, std::string file, std::string scene,
                                       std::string name, FileIO::FileManager* file_manager, bool flag);
// The same, with the loader chosen by the file's content.
SERVICE_API bool imageloader_loadimage_noext(std::string video, std::string file, std::string scene,
                                             std::string name, FileIO::FileManager* file_manager, bool flag);
SERVICE_API std::string imageloader_error();
