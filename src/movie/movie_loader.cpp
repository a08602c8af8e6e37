// Until the file loader lands, every movie is a film of one empty sequence.
#include "movie/movie_loader.h"

namespace xmo {

std::unique_ptr<Movie> loadMovie(const std::string&, LoadServices&) {
    auto movie = std::make_unique<Movie>();
    movie->sequences.push_back(std::make_unique<Sequence>());
    movie->sequences.back()->duration = 1.0f;
    movie->sequences.back()->camera = std::make_unique<Camera>();
    return movie;
}

}  // namespace xmo
