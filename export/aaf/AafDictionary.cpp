// export/aaf/AafDictionary.cpp - data, operation, parameter and interpolation definitions
#include "export/aaf/AafDictionary.h"

#include <vector>

namespace pexol::aaf {

namespace {

void Describe(Node& definition, const Auid& id, const char* name, const char* description) {
  definition.Id("Identification", id).String("Name", name).String("Description", description);
}

struct OperationRow {
  const Auid& id;
  const char* name;
  const Auid& data;
  bool timeWarp;
  int inputs;
  std::vector<Auid> parameters;
};

}  // namespace

void FillDictionary(Node& dictionary) {
  const struct {
    const Auid& id;
    const char* name;
    const char* description;
  } data[] = {{ids::picture, "Picture", "Picture Essence"},
              {ids::sound, "Sound", "Sound Essence"},
              {ids::timecode, "Timecode", "Timecode"},
              {ids::descriptiveMetadata, "DescriptiveMetadata", "Descriptive Metadata"}};
  for (const auto& row : data)
    dictionary.AddToSet("DataDefinitions", "DataDefinition", KeyOf(row.id), [&](Node& definition) {
      Describe(definition, row.id, row.name, row.description);
    });

  const struct {
    const Auid& id;
    const char* name;
    const char* description;
    const Auid& type;
  } parameters[] = {
      {ids::level, "Level", "Mix of the incoming over the outgoing", ids::rationalType},
      {ids::amplitude, "Amplitude", "Amplitude multiplier", ids::rationalType},
      {ids::wipeNumber, "SMPTEWipeNumber", "SMPTE 258M wipe code", ids::int32Type},
      {ids::speedRatio, "SpeedRatio", "Output length over input length", ids::rationalType}};
  for (const auto& row : parameters)
    dictionary.AddToSet("ParameterDefinitions", "ParameterDefinition", KeyOf(row.id),
                        [&](Node& definition) {
                          Describe(definition, row.id, row.name, row.description);
                          definition.Refer("Type", KeyOf(row.type));
                        });

  const OperationRow operations[] = {
      {ids::videoDissolve, "VideoDissolve_2", ids::picture, false, 2, {ids::level}},
      {ids::audioDissolve, "Audio Dissolve", ids::sound, false, 2, {ids::level}},
      {ids::wipe, "SMPTE Video Wipe", ids::picture, false, 2, {ids::level, ids::wipeNumber}},
      {ids::motionControl, "Motion Control", ids::picture, true, 1, {ids::speedRatio}},
      {ids::audioGain, "Audio Gain", ids::sound, false, 1, {ids::amplitude}},
  };
  for (const OperationRow& row : operations)
    dictionary.AddToSet("OperationDefinitions", "OperationDefinition", KeyOf(row.id),
                        [&](Node& definition) {
                          Describe(definition, row.id, row.name, "");
                          definition.Refer("DataDefinition", KeyOf(row.data));
                          definition.Bool("IsTimeWarp", row.timeWarp);
                          definition.Id("OperationCategory", ids::effectCategory);
                          definition.Int("NumberInputs", row.inputs);
                          definition.ReferAll("ParametersDefined", row.parameters);
                        });

  dictionary.AddToSet("InterpolationDefinitions", "InterpolationDefinition", KeyOf(ids::linear),
                      [](Node& definition) {
                        Describe(definition, ids::linear, "LinearInterp",
                                 "Linear keyframe interpolation");
                      });
}

}  // namespace pexol::aaf
