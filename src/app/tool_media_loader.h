#pragma once
#include "movie/media_loader.h"
namespace xmo { class ToolMediaLoader : public MediaLoader { public:
 void loadFont(Text&, const char*, Diagnostics&) override {}
 void loadTile(Tiles&, const char*, Diagnostics&) override {} }; }
