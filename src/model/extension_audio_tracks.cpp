// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/extension_audio_tracks.h"

#include "model/byte_io.h"
#include "model/message_format.h"
#include "model/project_extension.h"

namespace korvalin {

namespace {

constexpr size_t FIXED_BYTES = 20;
constexpr uint32_t MAX_PATH_BYTES = 4096;
constexpr char DAMAGED[] = "its extension record %u (audio track) %s";

bool Refuse(uint32_t number, const std::string& what, std::string& problem) {
    problem = FormatMessage(DAMAGED, number, what.c_str());
    return false;
}

}  // namespace

ExtensionRecord AudioTrackRecord(const AudioTrack& track) {
    ExtensionRecord record{TAG_AUDIO_TRACK, EXTENSION_RECORD_REQUIRED, {}};
    ByteWriter out(record.payload);
    out.U8(static_cast<uint8_t>(track.kind));
    out.Bytes("\0\0\0", 3);
    out.I32(track.pregapSectors);
    out.U32(track.dataOffset);
    out.U32(track.dataBytes);
    out.U32(static_cast<uint32_t>(track.sourcePath.size()));
    out.Bytes(track.sourcePath.data(), track.sourcePath.size());
    return record;
}

bool TakeAudioTrackRecord(const ExtensionRecord& record, uint32_t number,
                          std::vector<AudioTrack>& tracks, std::string& problem) {
    if (tracks.size() >= MAX_AUDIO_TRACKS) {
        return Refuse(number, FormatMessage("is one more than %d", MAX_AUDIO_TRACKS), problem);
    }
    ByteReader in(record.payload.data(), record.payload.size());
    if (!in.Has(FIXED_BYTES)) {
        return Refuse(number, FormatMessage("has %zu bytes, fewer than %zu", record.payload.size(), FIXED_BYTES),
                      problem);
    }
    AudioTrack track;
    const uint8_t kind = in.U8();
    in.Skip(3);
    track.pregapSectors = in.I32();
    track.dataOffset = in.U32();
    track.dataBytes = in.U32();
    const uint32_t pathBytes = in.U32();
    if (kind > static_cast<uint8_t>(AudioSourceKind::RawCd)) {
        return Refuse(number, FormatMessage("has a source of unknown kind %u", kind), problem);
    }
    if (track.pregapSectors < 0 || track.pregapSectors >= MAX_DISC_SECTORS) {
        return Refuse(number, FormatMessage("has a pregap of %d sectors", track.pregapSectors),
                      problem);
    }
    if (pathBytes == 0 || pathBytes > MAX_PATH_BYTES || !in.Has(pathBytes)) {
        return Refuse(number, FormatMessage("has a source path of %u bytes", pathBytes), problem);
    }
    track.kind = static_cast<AudioSourceKind>(kind);
    track.sourcePath.assign(reinterpret_cast<const char*>(in.Here()), pathBytes);
    if (track.sourcePath.find('\0') != std::string::npos) {
        return Refuse(number, "has a source path holding a NUL byte", problem);
    }
    tracks.push_back(std::move(track));
    return true;
}

}  // namespace korvalin
