#include "progress.h"

#include <cmath>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace matchtools {

std::string duration_text(double seconds) {
    long long s = std::llround(std::max(0.0, seconds));
    char buf[32];
    if (s >= 3600)
        std::snprintf(buf, sizeof buf, "%lldh%02lldm", s / 3600, s % 3600 / 60);
    else if (s >= 60)
        std::snprintf(buf, sizeof buf, "%lldm%02llds", s / 60, s % 60);
    else
        std::snprintf(buf, sizeof buf, "%llds", s);
    return buf;
}

std::string progress_text(long long done, long long total, double seconds, const MatchTally& tally,
                          const std::string& first_label) {
    std::string text = std::to_string(done) + "/" + std::to_string(total) + " games";
    const long long scored = tally.scored_games();
    if (!first_label.empty() && scored > 0) {
        char buf[160];
        const double points = tally.first_points();
        std::snprintf(buf, sizeof buf, ", %s %g/%lld (%.1f%%), Elo %s", first_label.c_str(), points,
                      scored, 100.0 * points / static_cast<double>(scored),
                      format_elo(tally.estimate_now()).c_str());
        text += buf;
        if (tally.sprt_on()) {
            SprtState s = tally.sprt_state();
            std::snprintf(buf, sizeof buf, ", LLR %.2f [%.2f, %.2f]", s.llr, s.lower, s.upper);
            text += buf;
        }
    }
    if (done > 0 && done < total)
        text +=
            ", " +
            duration_text(seconds / static_cast<double>(done) * static_cast<double>(total - done)) +
            " left" + (tally.sprt_on() ? " at most" : "");
    return text;
}

Progress::Progress(std::FILE* out, long long total, std::string first_label)
    : out_(out), terminal_(isatty(fileno(out)) != 0), total_(total),
      first_label_(std::move(first_label)), start_(std::chrono::steady_clock::now()) {}

void Progress::update(long long done, const MatchTally& tally) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    std::string text = progress_text(done, total_, seconds, tally, first_label_);
    if (terminal_) {
        // Blanks over what is left of a longer line before.
        const size_t length = text.size();
        if (length < shown_) text.append(shown_ - length, ' ');
        shown_ = length;
        std::fprintf(out_, "\r%s", text.c_str());
    } else {
        std::fprintf(out_, "%s\n", text.c_str());
    }
    std::fflush(out_);
}

void Progress::end() {
    if (terminal_ && shown_ > 0) std::fprintf(out_, "\n");
    std::fflush(out_);
}

} // namespace matchtools
