// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/image_output.h"

#include "image/sector_pipeline.h"

namespace korvalin {

ImageOutput::ImageOutput() = default;
ImageOutput::~ImageOutput() = default;
ImageOutput::ImageOutput(ImageOutput&&) noexcept = default;
ImageOutput& ImageOutput::operator=(ImageOutput&&) noexcept = default;

bool ImageOutput::Create(const std::string& path, const OutputOptions& options) {
    pipeline_.reset();
    OutputFile file;
    if (options.sink == nullptr && !file.Create(path)) return false;
    if (options.writeBehind) file.StartWriteBehind();
    pipeline_ = std::make_unique<SectorPipeline>(std::move(file), options);
    return true;
}

bool ImageOutput::AppendSector(const uint8_t* sector) {
    return pipeline_ != nullptr && pipeline_->AppendSector(sector);
}

bool ImageOutput::AppendFile(const std::string* source, uint32_t size, int32_t owner) {
    return pipeline_ != nullptr && pipeline_->AppendFile(source, size, owner);
}

bool ImageOutput::AppendXaFile(const std::string* source, int32_t sectors, int32_t owner) {
    return pipeline_ != nullptr && pipeline_->AppendXaFile(source, sectors, owner);
}

bool ImageOutput::AppendFiller(int32_t count) {
    if (pipeline_ == nullptr) return false;
    Segment run;
    run.kind = Segment::Kind::Filler;
    run.count = count;
    run.owner = OWNER_FILLER;
    run.progressEvery = FILL_BATCH_SECTORS;
    return pipeline_->AppendRun(run);
}

OutputError ImageOutput::Finish() {
    return pipeline_ != nullptr ? pipeline_->Finish() : OutputError{OutputFailure::ShortWrite, OWNER_STRUCTURE};
}

bool ImageOutput::Close() {
    if (pipeline_ == nullptr) return true;
    const bool closed = pipeline_->Close();
    pipeline_.reset();
    return closed;
}

}  // namespace korvalin
