#include "power/core/scheme_records.h"

namespace vantrel::power {

namespace {

uint8_t* Bytes(XpSchemeRecords& r, const RecordField& f) {
  return (f.record == Record::Policy ? r.policy.data() : r.processor.data()) + f.offset;
}
const uint8_t* Bytes(const XpSchemeRecords& r, const RecordField& f) {
  return (f.record == Record::Policy ? r.policy.data() : r.processor.data()) + f.offset;
}

uint32_t WidthMask(const RecordField& f) {
  const unsigned bits = f.width ? f.width : f.size * 8u;
  return bits >= 32 ? 0xffffffffu : (1u << bits) - 1;
}

}  // namespace

uint32_t FieldMaximum(const RecordField& field) {
  switch (field.kind) {
    case FieldKind::Action:
    case FieldKind::State:
      return 7;
    case FieldKind::Percent:
      return 100;
    case FieldKind::Throttle:
      return 3;
    case FieldKind::Boolean:
      return 1;
    case FieldKind::Number:
    case FieldKind::Flags:
      break;
  }
  return WidthMask(field);
}

uint32_t GetField(const XpSchemeRecords& records, const RecordField& field) {
  const uint8_t* p = Bytes(records, field);
  uint32_t word = 0;
  for (unsigned i = field.size; i-- > 0;) word = word << 8 | p[i];
  return (word >> field.bit) & WidthMask(field);
}

void SetField(XpSchemeRecords& records, const RecordField& field, uint32_t value) {
  uint8_t* p = Bytes(records, field);
  uint32_t word = 0;
  for (unsigned i = field.size; i-- > 0;) word = word << 8 | p[i];
  const uint32_t mask = WidthMask(field) << field.bit;
  word = (word & ~mask) | ((value << field.bit) & mask);
  for (unsigned i = 0; i < field.size; ++i) p[i] = static_cast<uint8_t>(word >> (8 * i));
}

}  // namespace vantrel::power
