#include "app/watch_set.h"

#include <gtest/gtest.h>

#include "movie/movie.h"

namespace xmo {
namespace {

TEST(WatchSet, TheFilmsFilesEachOnceTheMovieFirst) {
    Movie movie;
    auto scene = std::make_unique<Object>();
    scene->filename = "scenes/house.x3d";
    movie.objects.push_back(std::move(scene));
    movie.objects.push_back(std::make_unique<BrikObject>());  // built, not read
    auto again = std::make_unique<Object>();
    again->filename = "scenes/house.x3d";  // a second object from the same file
    movie.objects.push_back(std::move(again));
    auto sequence = std::make_unique<Sequence>();
    auto chunk = std::make_unique<TextChunk>();
    chunk->texts.push_back(std::make_unique<Text>());
    chunk->texts.back()->loadfont = "fonts/title.txf";
    sequence->textChunks.push_back(std::move(chunk));
    sequence->tiles.push_back(std::make_unique<Tiles>());
    sequence->tiles.back()->loadimage = "card.png";
    movie.sequences.push_back(std::move(sequence));
    movie.sounds.push_back(std::make_unique<Sound>());
    movie.sounds.back()->filename = "/music/theme.mp3";

    EXPECT_EQ(findFilmFiles(movie, "film.xmo"),
              (std::vector<std::string>{"film.xmo", "scenes/house.x3d", "fonts/title.txf", "card.png",
                                        "/music/theme.mp3"}));
}

TEST(WatchSet, FoldersAndTheNamesThatCountInThem) {
    const WatchSet set({"film.xmo", "scenes/a.x3d", "scenes/b.x3d", "card.png", "/music/theme.mp3", "scenes/"});
    EXPECT_EQ(set.folders(), (std::vector<std::string>{".", "scenes", "/music"}));
    struct Case {
        std::size_t folder;
        const char* name;
        bool counts;
    };
    const Case cases[] = {
        {0, "film.xmo", true},   {0, "card.png", true},       {0, "a.x3d", false},  // a.x3d is in scenes/
        {1, "a.x3d", true},      {1, "b.x3d", true},          {1, "film.xmo", false},
        {1, "a.x3d.swp", false}, {2, "theme.mp3", true},      {3, "film.xmo", false},  // no such folder
    };
    for (const Case& c : cases) EXPECT_EQ(set.isFilmFile(c.folder, c.name), c.counts) << c.folder << " " << c.name;
}

}  // namespace
}  // namespace xmo
