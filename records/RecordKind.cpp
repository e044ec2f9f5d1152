#include "records/RecordKind.h"

namespace pellix {

const char* RecordLabel(RecordKind kind) noexcept {
  switch (kind) {
    case RecordKind::LogStart: return "開始";
    case RecordKind::LogStop: return "停止";
    case RecordKind::Join: return "入室";
    case RecordKind::Leave: return "退室";
    case RecordKind::Rename: return "改名";
    case RecordKind::Chat: return "発言";
    case RecordKind::Administrative: return "管理";
    case RecordKind::Url: return "URL";
  }
  return "";
}

}  // namespace pellix
