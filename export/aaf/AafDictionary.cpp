// export/aaf/AafDictionary.cpp - data, operation, parameter and interpolation definitions
#include "export/aaf/AafDictionary.h"

#include <vector>

namespace pexol::aaf {

namespace {

std::unique_ptr<Object> Definition(const char* cls, const char* id, const char* name,
                                   const char* description) {
  auto object = std::make_unique<Object>(cls);
  object->Id("Identification", AuidOf(id)).String("Name", name).String("Description", description);
  return object;
}

struct OperationRow {
  const char* id;
  const char* name;
  const char* data;
  bool timeWarp;
  int inputs;
  std::vector<std::string> parameters;
};

}  // namespace

std::string KeyOf(const char* id) {
  const Auid auid = AuidOf(id);
  return std::string(auid.begin(), auid.end());
}

std::unique_ptr<Object> Dictionary() {
  auto dictionary = std::make_unique<Object>("Dictionary");
  const char* data[][3] = {
      {ids::picture, "Picture", "Picture Essence"},
      {ids::sound, "Sound", "Sound Essence"},
      {ids::timecode, "Timecode", "Timecode"},
      {ids::descriptiveMetadata, "DescriptiveMetadata", "Descriptive Metadata"}};
  for (const auto& [id, name, description] : data)
    dictionary->AddToSet("DataDefinitions", Definition("DataDefinition", id, name, description));

  const char* parameters[][4] = {
      {ids::level, "Level", "Mix of the incoming over the outgoing", ids::rationalType},
      {ids::amplitude, "Amplitude", "Amplitude multiplier", ids::rationalType},
      {ids::wipeNumber, "SMPTEWipeNumber", "SMPTE 258M wipe code", ids::int32Type},
      {ids::speedRatio, "SpeedRatio", "Output length over input length", ids::rationalType}};
  for (const auto& [id, name, description, type] : parameters) {
    auto definition = Definition("ParameterDefinition", id, name, description);
    definition->Refer("Type", KeyOf(type));
    dictionary->AddToSet("ParameterDefinitions", std::move(definition));
  }

  const OperationRow operations[] = {
      {ids::videoDissolve, "VideoDissolve_2", ids::picture, false, 2, {KeyOf(ids::level)}},
      {ids::audioDissolve, "Audio Dissolve", ids::sound, false, 2, {KeyOf(ids::level)}},
      {ids::wipe,
       "SMPTE Video Wipe",
       ids::picture,
       false,
       2,
       {KeyOf(ids::level), KeyOf(ids::wipeNumber)}},
      {ids::motionControl, "Motion Control", ids::picture, true, 1, {KeyOf(ids::speedRatio)}},
      {ids::audioGain, "Audio Gain", ids::sound, false, 1, {KeyOf(ids::amplitude)}},
  };
  for (const OperationRow& row : operations) {
    auto definition = Definition("OperationDefinition", row.id, row.name, "");
    definition->Refer("DataDefinition", KeyOf(row.data)).Bool("IsTimeWarp", row.timeWarp);
    definition->Id("OperationCategory", AuidOf("0d010102-0101-0100-060e-2b3404010101"));
    definition->Int("NumberInputs", row.inputs).ReferAll("ParametersDefined", row.parameters);
    dictionary->AddToSet("OperationDefinitions", std::move(definition));
  }

  dictionary->AddToSet("InterpolationDefinitions",
                       Definition("InterpolationDefinition", ids::linear, "LinearInterp",
                                  "Linear keyframe interpolation"));
  return dictionary;
}

}  // namespace pexol::aaf
