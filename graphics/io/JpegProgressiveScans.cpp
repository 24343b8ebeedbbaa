// The scans of our own progressive decoder, a band of rows at a time: which
// thread decodes which scan, and each scan's entropy-coded data from where
// the band before left it.

#include "graphics/io/JpegEntropy.h"
#include "graphics/io/JpegProgressive.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace skyloom::graphics::detail {

// Two threads sharing the scans: the second one's luma scans follow the
// first one's, a row of blocks behind.
struct ProgressiveJpeg::Pacing {
    std::mutex mutex;
    std::condition_variable changed;
    int rowsDone = 0; // rows of blocks the first thread's luma scans have all finished
    std::atomic<bool> failed{false};
    std::string error;
    void fail(const std::string& why) {
        std::lock_guard lock(mutex);
        if (!failed)
            error = why;
        failed = true;
        changed.notify_all();
    }
};

// The band from bandFirst_: its coefficients start from zero, and every
// scan goes on from where it stood at the band's first row.
bool ProgressiveJpeg::decodeBand(std::string& error) {
    bandEnd_ = std::min(bandFirst_ + bandRows_, mcusY_);
    // The first band's memory is fresh from the system, so already zero.
    if (bandsDecoded_ > 0)
        std::memset(coefMemory_.data(), 0, coefMemory_.size());
    ++bandsDecoded_;
    return decodeScans(error);
}

bool ProgressiveJpeg::decodeScans(std::string& error) {
    const std::vector<Scan>& scans = scans_;
    Pacing pacing;
    std::uint64_t blocks = 0;
    for (const Component& c : comps_)
        blocks += std::uint64_t(c.padW) * c.v * (bandEnd_ - bandFirst_);
    // The second thread takes the colours' AC scans and the luma AC scans
    // from `split` on; the first the DC scans and the luma scans before.
    // The split evens out their work, counted in bytes (refinement bytes
    // cost about half as much again).
    auto cost = [](const Scan& s) {
        const double bytes = static_cast<double>(s.end - s.start);
        return s.ah ? bytes * 1.5 : bytes;
    };
    auto luma = [](const Scan& s) { return s.count == 1 && s.comps[0] == 0 && s.ss > 0; };
    auto colour = [](const Scan& s) { return s.count == 1 && s.comps[0] != 0 && s.ss > 0; };
    double first = 0, second = 0, lumaTotal = 0;
    for (const Scan& s : scans)
        (colour(s) ? second : luma(s) ? lumaTotal : first) += cost(s);
    std::size_t split = scans.size();
    double best = first + lumaTotal, lumaBefore = 0;
    for (std::size_t i = 0; i < scans.size(); ++i) {
        if (!luma(scans[i]))
            continue;
        const double t = std::max(first + lumaBefore, second + lumaTotal - lumaBefore);
        if (t < best) {
            best = t;
            split = i;
        }
        lumaBefore += cost(scans[i]);
    }
    const bool two = blocks >= twoThreadsFrom_ && (second > 0 || split < scans.size());
    auto onSecond = [&](std::size_t i) {
        return two && (colour(scans[i]) || (luma(scans[i]) && i >= split));
    };
    // The first thread's last luma scan tells the second how far it is.
    std::size_t lastFirstLuma = scans.size();
    for (std::size_t i = 0; i < scans.size(); ++i)
        if (luma(scans[i]) && !onSecond(i))
            lastFirstLuma = i;

    std::thread helper;
    if (two) {
        helper = std::thread([&] {
            // Colours first: they wait for nothing.
            for (std::size_t i = 0; i < scans.size() && !pacing.failed; ++i)
                if (onSecond(i) && colour(scans[i]) && !decodeScan(i, pacing, false, false, false))
                    pacing.fail("damaged entropy-coded data");
            for (std::size_t i = 0; i < scans.size() && !pacing.failed; ++i)
                if (onSecond(i) && luma(scans[i]) &&
                    !decodeScan(i, pacing, false, lastFirstLuma < scans.size(), false))
                    pacing.fail("damaged entropy-coded data");
        });
    }
    for (std::size_t i = 0; i < scans.size() && !pacing.failed; ++i) {
        if (onSecond(i))
            continue;
        const bool publishes = two && i == lastFirstLuma;
        if (!decodeScan(i, pacing, true, false, publishes)) {
            pacing.fail(stopped_ ? "the decode was stopped" : "damaged entropy-coded data");
            break;
        }
    }
    {
        std::lock_guard lock(pacing.mutex);
        pacing.rowsDone = INT_MAX;
    }
    pacing.changed.notify_all();
    if (helper.joinable())
        helper.join();
    if (pacing.failed)
        return (error = pacing.error, false);
    return true;
}

// Scan `index`'s rows in the band, from its state at the band's first row;
// its state at the band's end goes back to resume_. `mayStop` (the
// first thread only) asks aborted_ before each row of blocks, `paced` waits
// for the first thread's luma scans to be past a row, `publishes` tells the
// second thread how far this one is.
bool ProgressiveJpeg::decodeScan(std::size_t index, Pacing& pacing, bool mayStop, bool paced,
                                 bool publishes) {
    const Scan& scan = scans_[index];
    ScanState state = resume_[index];
    Bits& in = state.in;
    const Band band{scan.ss, scan.se, scan.al, comps_[scan.comps[0]].keptAt.data()};
    std::array<int, 4>& pred = state.pred;
    int eobRun = state.eobRun;
    bool ok = true;
    const bool interleaved = scan.count > 1;
    Component& first = comps_[scan.comps[0]];
    // A scan of one component goes through its blocks row by row, the
    // component's v rows of blocks to a row of MCUs.
    const int rowsOfMcus = interleaved ? mcusY_ : first.blocksH;
    const int mcusPerRow = interleaved ? mcusX_ : first.blocksW;
    const int perMcuRow = interleaved ? 1 : first.v;
    const int from = std::min(bandFirst_ * perMcuRow, rowsOfMcus);
    const int to = std::min(bandEnd_ * perMcuRow, rowsOfMcus);
    const Huffman* acTable = scan.ac; // set for AC scans
    const int restartInterval = scan.restartInterval;
    int sinceRestart = state.sinceRestart, restarts = state.restarts;
    for (int my = from; my < to && ok; ++my) {
        if (pacing.failed)
            return false;
        if (mayStop && aborted_ && aborted_()) {
            stopped_ = true;
            return false;
        }
        if (paced) {
            std::unique_lock lock(pacing.mutex);
            pacing.changed.wait(lock, [&] { return pacing.rowsDone > my || pacing.failed; });
        }
        for (int mx = 0; mx < mcusPerRow && ok; ++mx) {
            if (restartInterval && sinceRestart == restartInterval) {
                // The segment ends with a restart marker: the coding starts afresh.
                const std::size_t at = in.markerPosition();
                if (!in.honest() || at + 1 >= scan.end || data_[at + 1] != 0xD0 + (restarts & 7))
                    return false; // a restart marker is missing
                in.restartAt(at + 2);
                ++restarts;
                sinceRestart = 0;
                pred = {};
                eobRun = 0;
            }
            ++sinceRestart;
            if (!interleaved) {
                const std::size_t at =
                    std::size_t(my - bandFirst_ * first.v) * first.padW + std::size_t(mx);
                std::int16_t* coef = first.coefs + at * first.n * first.n;
                std::uint64_t& nz = first.nonZero[at];
                if (scan.ss == 0) {
                    if (scan.ah == 0)
                        ok = dcFirst(in, *scan.dc[0], pred[0], scan.al, coef);
                    else
                        dcRefine(in, scan.al, coef);
                } else if (scan.ah == 0) {
                    ok = acFirst(in, *acTable, band, eobRun, coef, nz);
                } else {
                    ok = acRefine(in, *acTable, band, eobRun, coef, nz);
                }
                continue;
            }
            for (int i = 0; i < scan.count && ok; ++i) {
                Component& c = comps_[scan.comps[i]];
                for (int v = 0; v < c.v && ok; ++v)
                    for (int hh = 0; hh < c.h && ok; ++hh) {
                        const std::size_t at = std::size_t((my - bandFirst_) * c.v + v) * c.padW +
                                               std::size_t(mx * c.h + hh);
                        std::int16_t* coef = c.coefs + at * c.n * c.n;
                        if (scan.ah == 0)
                            ok = dcFirst(in, *scan.dc[i], pred[i], scan.al, coef);
                        else
                            dcRefine(in, scan.al, coef);
                    }
            }
        }
        if (publishes) {
            {
                std::lock_guard lock(pacing.mutex);
                pacing.rowsDone = my + 1;
            }
            pacing.changed.notify_all();
        }
    }
    if (!ok)
        return false;
    state.eobRun = eobRun;
    state.sinceRestart = sinceRestart;
    state.restarts = restarts;
    resume_[index] = state;
    // Only at its end can a scan tell that it read past its data.
    return to < rowsOfMcus || in.honest();
}

} // namespace skyloom::graphics::detail
