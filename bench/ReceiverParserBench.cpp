// Throughput of the receiver frame parser over a stream of device reports, replies and line noise.
#include "devices/ReceiverFrame.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

std::vector<BYTE> MixedStream(size_t size) {
    std::mt19937 random(42);
    std::vector<BYTE> stream;
    BYTE frame[kCommandBufferSize];
    while (stream.size() < size) {
        const unsigned pick = random() % 4;
        if (pick == 3) { // noise, stray start bytes included
            for (int i = 0; i < 16; ++i)
                stream.push_back(static_cast<BYTE>(random()));
            continue;
        }
        BYTE payload[12];
        for (BYTE& b : payload)
            b = static_cast<BYTE>(random());
        const int n = pick == 0   ? BuildFrame(frame, kFrameTypeReport, kDeviceReportCommand, payload, 7)
                      : pick == 1 ? BuildFrame(frame, kFrameTypeReply, 0x0B, payload, 12)
                                  : BuildFrame(frame, kFrameTypeReply, 0x07, payload, 2);
        stream.insert(stream.end(), frame, frame + n);
    }
    return stream;
}

void BM_ReceiverParser(benchmark::State& state) {
    const std::vector<BYTE> stream = MixedStream(1 << 20);
    const int chunk = static_cast<int>(state.range(0)); // the receive thread reads up to 128 bytes
    ReceiverFrameParser parser;
    size_t frames = 0;
    for (auto _ : state) {
        for (size_t at = 0; at < stream.size(); at += chunk) {
            const int n = static_cast<int>(std::min<size_t>(chunk, stream.size() - at));
            parser.Feed(stream.data() + at, n, [&](const ReceiverFrame& f) { frames += f.length; });
        }
        benchmark::DoNotOptimize(frames);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_ReceiverParser)->Arg(128)->Arg(1);

} // namespace

BENCHMARK_MAIN();
