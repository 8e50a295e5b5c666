// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/audio_track.h"

#include <gtest/gtest.h>

#include "audio_samples.h"
#include "model/extension_audio_tracks.h"
#include "model/project_extension.h"
#include "model/project_archive.h"
#include "test_support.h"

namespace korvalin {
namespace {

struct Probe {
    bool ok = false;
    AudioTrack track;
    std::string problem;
};

Probe ProbeBytes(const test::TempDir& dir, const std::string& name,
                 const std::vector<uint8_t>& bytes) {
    test::WriteBytes(dir / name, bytes);
    Probe probe;
    probe.ok = ProbeAudioSource((dir / name).string(), probe.track, probe.problem);
    return probe;
}

TEST(AudioSource, FindsTheSamplesOfWavAndRawSources) {
    test::TempDir dir;
    // An odd-sized chunk before the data is skipped with its pad byte.
    const std::vector<uint8_t> list{'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    const Probe wav = ProbeBytes(dir, "a.wav", test::WavFile(test::Samples(10, 1), 2, 44100, 16, 1, list));
    ASSERT_TRUE(wav.ok) << wav.problem;
    EXPECT_EQ(wav.track.kind, AudioSourceKind::Wav);
    EXPECT_EQ(wav.track.dataOffset, 44u + list.size());
    EXPECT_EQ(wav.track.dataBytes, 10u);
    EXPECT_EQ(wav.track.pregapSectors, DEFAULT_PREGAP_SECTORS);

    const Probe raw = ProbeBytes(dir, "b.raw", test::Samples(5000, 2));
    ASSERT_TRUE(raw.ok) << raw.problem;
    EXPECT_EQ(raw.track.kind, AudioSourceKind::RawCd);
    EXPECT_EQ(raw.track.dataOffset, 0u);
    EXPECT_EQ(raw.track.dataBytes, 5000u);
    EXPECT_EQ(AudioSectors(raw.track), 3);
}

TEST(AudioSource, RefusesWhatIsNotCdAudioSayingWhy) {
    test::TempDir dir;
    const auto pcm = test::Samples(64, 3);
    auto noData = test::WavFile(pcm);
    noData.resize(44 - 8);
    auto claimsTooMuch = test::WavFile(pcm);
    claimsTooMuch.resize(claimsTooMuch.size() - 1);
    const std::pair<std::vector<uint8_t>, const char*> cases[] = {
        {test::WavFile(pcm, 1), "1 channel(s), 44100 Hz, 16 bits"},
        {test::WavFile(pcm, 2, 48000), "2 channel(s), 48000 Hz"},
        {test::WavFile(pcm, 2, 44100, 8), "8 bits"},
        {test::WavFile(pcm, 2, 44100, 32, 3), "format 3, not PCM"},
        {noData, "without a \"data\" chunk"},
        {claimsTooMuch, "claims 64 bytes, but 63 follow"},
        {pcm, "is not a RIFF WAVE file"},
    };
    for (const auto& [bytes, expected] : cases) {
        const Probe probe = ProbeBytes(dir, "x.wav", bytes);
        EXPECT_FALSE(probe.ok) << expected;
        EXPECT_NE(probe.problem.find(expected), std::string::npos) << probe.problem;
    }
    AudioTrack track;
    std::string problem;
    EXPECT_FALSE(ProbeAudioSource(dir.path().string(), track, problem));
    EXPECT_EQ(problem, "cannot be opened as a regular file");
}

TEST(AudioTrackPlaces, FollowTheDataTrackAndThePregaps) {
    Project project = test::NewProject();
    project.layoutState.totalSectors = 300;
    project.audioTracks = {AudioTrack{"/a", AudioSourceKind::Wav, 150, 44, 2352 * 10},
                           AudioTrack{"/b", AudioSourceKind::RawCd, 0, 0, 1},
                           AudioTrack{"/c", AudioSourceKind::RawCd, 75, 0, 2353}};
    const std::vector<AudioTrackPlace> places = PlaceAudioTracks(project);
    ASSERT_EQ(places.size(), 3u);
    EXPECT_EQ(places[0].pregapLba, 300);
    EXPECT_EQ(places[0].startLba, 450);
    EXPECT_EQ(places[1].pregapLba, 460);
    EXPECT_EQ(places[1].startLba, 460);
    EXPECT_EQ(places[2].startLba, 461 + 75);
    EXPECT_EQ(DiscEndLba(project), 461 + 75 + 2);
    EXPECT_TRUE(CheckAudioTracks(project).empty());
    project.audioTracks[0].dataBytes = UINT32_MAX;
    EXPECT_EQ(CheckAudioTracks(project).size(), 1u);
    // A data track that long alone compiles as it always did.
    project.layoutState.totalSectors = 500000;
    project.audioTracks.clear();
    EXPECT_TRUE(CheckAudioTracks(project).empty());
}

TEST(AudioTrackPlaces, PregapsAreTypedAsSectorsOrTimes) {
    // A time is also how the sectors are shown.
    const std::pair<std::string, int32_t> good[] = {{"0", 0}, {"150", 150}, {"00:00:00", 0}, {"00:02:00", 150},
                                                    {"01:01:74", 75 * 61 + 74}};
    for (const auto& [text, sectors] : good) {
        int32_t parsed = -1;
        EXPECT_TRUE(ParsePregap(text, parsed)) << text;
        EXPECT_EQ(parsed, sectors) << text;
        EXPECT_TRUE(text.size() != 8 || MsfText(sectors) == text) << MsfText(sectors);
    }
    for (const char* bad : {"", "-1", "1.5", "00:60:00", "00:00:75", "2:00:00", "0x10", "999999999"}) {
        int32_t parsed = 0;
        EXPECT_FALSE(ParsePregap(bad, parsed)) << bad;
    }
}

TEST(AudioTrackRecord, TracksSurviveSaveAndLoad) {
    Project project = test::NewProject();
    const std::vector<uint8_t> plain = test::Store(project);
    project.audioTracks = {AudioTrack{"/music/one.wav", AudioSourceKind::Wav, 150, 44, 123456},
                           AudioTrack{"/music/two.raw", AudioSourceKind::RawCd, 0, 0, 7}};
    const std::vector<uint8_t> bytes = test::Store(project);
    EXPECT_GT(bytes.size(), plain.size());
    Project loaded = test::NewProject();
    std::string problem;
    ASSERT_EQ(test::Load(bytes, loaded, &problem), 0) << problem;
    EXPECT_EQ(loaded.audioTracks, project.audioTracks);
    EXPECT_EQ(test::Store(loaded), bytes);
    ASSERT_EQ(test::Load(plain, loaded), 0);
    EXPECT_TRUE(loaded.audioTracks.empty());  // nothing left from the project before
    EXPECT_EQ(test::Store(loaded), plain);
}

TEST(AudioTrackRecord, DamagedPayloadsAreRefused) {
    const ExtensionRecord good =
        AudioTrackRecord(AudioTrack{"/x.wav", AudioSourceKind::Wav, 150, 44, 1000});
    EXPECT_EQ(good.flags, EXTENSION_RECORD_REQUIRED);
    const auto patched = [&good](size_t at, std::vector<uint8_t> bytes) {
        ExtensionRecord r = good;
        std::copy(bytes.begin(), bytes.end(), r.payload.begin() + static_cast<long>(at));
        return r;
    };
    const std::pair<ExtensionRecord, const char*> cases[] = {
        {patched(0, {9}), "unknown kind 9"},
        {patched(4, {0xFF, 0xFF, 0xFF, 0xFF}), "pregap of -1"},
        {patched(16, {0xFF, 0xFF}), "source path of 65535 bytes"},
        {patched(16, {0}), "source path of 0 bytes"},
        {patched(22, {0}), "holding a NUL"},
    };
    for (const auto& [record, expected] : cases) {
        std::vector<AudioTrack> tracks{AudioTrack{}};
        std::string problem;
        EXPECT_FALSE(TakeAudioTrackRecord(record, 3, tracks, problem)) << expected;
        EXPECT_NE(problem.find(expected), std::string::npos) << problem;
        EXPECT_EQ(tracks.size(), 1u);
    }
    // Every truncation is refused without reading past the payload.
    for (size_t n = 0; n < good.payload.size(); ++n) {
        ExtensionRecord cut = good;
        cut.payload.resize(n);
        std::vector<AudioTrack> tracks;
        std::string problem;
        EXPECT_FALSE(TakeAudioTrackRecord(cut, 0, tracks, problem)) << n;
    }
    // Bytes after the path are a later version's; a 99th track is refused.
    ExtensionRecord longer = good;
    longer.payload.push_back(7);
    std::vector<AudioTrack> tracks(MAX_AUDIO_TRACKS - 1);
    std::string problem;
    EXPECT_TRUE(TakeAudioTrackRecord(longer, 0, tracks, problem)) << problem;
    EXPECT_EQ(tracks.back().sourcePath, "/x.wav");
    EXPECT_FALSE(TakeAudioTrackRecord(good, 0, tracks, problem));
    EXPECT_NE(problem.find("one more than 98"), std::string::npos) << problem;
}

}  // namespace
}  // namespace korvalin
