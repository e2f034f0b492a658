#include "cli/command.h"

namespace quarnel::cli {

// Each command lives in a file of its own (cmd_<name>.cpp) and is listed here once.
void RegisterVersion(CommandLine& commands);
void RegisterLs(CommandLine& commands);
void RegisterCat(CommandLine& commands);
void RegisterExtract(CommandLine& commands);
void RegisterBasic(CommandLine& commands);
void RegisterHex(CommandLine& commands);
void RegisterText(CommandLine& commands);
void RegisterPicture(CommandLine& commands);
void RegisterGallery(CommandLine& commands);
void RegisterCas(CommandLine& commands);
void RegisterAdd(CommandLine& commands);
void RegisterRm(CommandLine& commands);
void RegisterRen(CommandLine& commands);
void RegisterLabel(CommandLine& commands);
void RegisterOem(CommandLine& commands);
void RegisterNew(CommandLine& commands);
void RegisterMkdir(CommandLine& commands);
void RegisterPack(CommandLine& commands);
void RegisterConvert(CommandLine& commands);
void RegisterTokenize(CommandLine& commands);
void RegisterDetails(CommandLine& commands);
void RegisterParts(CommandLine& commands);
void RegisterFileinfo(CommandLine& commands);
void RegisterSector(CommandLine& commands);
void RegisterFind(CommandLine& commands);
void RegisterPoke(CommandLine& commands);
void RegisterCheck(CommandLine& commands);
void RegisterFloppy(CommandLine& commands);

std::span<const RegisterCommand> AllCommands() {
  static constexpr RegisterCommand kCommands[] = {
      RegisterVersion,  RegisterLs,      RegisterCat,      RegisterExtract, RegisterBasic,
      RegisterTokenize, RegisterHex,     RegisterText,     RegisterPicture, RegisterGallery,
      RegisterCas,      RegisterConvert, RegisterAdd,      RegisterRm,      RegisterRen,
      RegisterLabel,    RegisterOem,     RegisterNew,      RegisterMkdir,   RegisterPack,
      RegisterDetails,  RegisterParts,   RegisterFileinfo, RegisterSector,  RegisterFind,
      RegisterPoke,     RegisterCheck,   RegisterFloppy,
  };
  return kCommands;
}

}  // namespace quarnel::cli
