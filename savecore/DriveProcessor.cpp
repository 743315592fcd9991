#include "DriveProcessor.h"

#include "SaveCoreErrors.h"

namespace savecore {

DriveProcessor::DriveProcessor() {
    EngineStart();
}

void DriveProcessor::Init(BackupManager& objManager_, platform::fs::DrivePtr objDrive_) {
    mobjManager = &objManager_;
    mobjDrive = std::move(objDrive_);
}

}  // namespace savecore
