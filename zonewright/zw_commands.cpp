// The command table, in its set order.
#include "zw_console.h"
#include "zw_controls.h"
#include "zw_editor.h"
#include "zw_input.h"
#include "zw_props.h"
#include "zw_render.h"
#include "zw_screen.h"
#include "zw_shell.h"

namespace {

void Nothing() {}

}  // namespace

const ZW_Command zwCommands[] = {
    {"colPick.", Nothing},
    {"colPick.setPickerRed", ZW_CmdColPickSetRed},
    {"colPick.setPickerGreen", ZW_CmdColPickSetGreen},
    {"colPick.setPickerBlue", ZW_CmdColPickSetBlue},
    {"colPick.setPickerAlpha", ZW_CmdColPickSetAlpha},
    {"colPick.ApplyColors", ZW_CmdColPickApplyColors},
    {"conProps.", Nothing},
    {"conProps.caption", ZW_CmdConPropsCaption},
    {"conProps.capNextFont", ZW_CmdConPropsCapNextFont},
    {"conProps.capOffsX", ZW_CmdConPropsCapOffsX},
    {"conProps.capOffsY", ZW_CmdConPropsCapOffsY},
    {"conProps.capPrevFont", ZW_CmdConPropsCapPrevFont},
    {"conProps.command", ZW_CmdConPropsCommand},
    {"conProps.name", ZW_CmdConPropsName},
    {"conProps.nextMother", Nothing},
    {"conProps.page", ZW_CmdConPropsPage},
    {"conProps.pokeSnap", ZW_CmdConPropsPokeSnap},
    {"conProps.prevMother", Nothing},
    {"conProps.zoneLeft", ZW_CmdConPropsZoneLeft},
    {"conProps.zoneTop", ZW_CmdConPropsZoneTop},
    {"conProps.zoneRight", ZW_CmdConPropsZoneRight},
    {"conProps.zoneBottom", ZW_CmdConPropsZoneBottom},
    {"control.", ZW_CmdControlList},
    {"control.active", ZW_CmdControlActive},
    {"control.activeId", ZW_CmdControlActiveId},
    {"control.addChild", ZW_CmdControlAddChild},
    {"control.captionPos", ZW_CmdControlCaptionPos},
    {"control.caption", ZW_CmdControlCaption},
    {"control.closePage", ZW_CmdControlClosePage},
    {"control.closeAll", ZW_CmdControlCloseAll},
    {"control.command", ZW_CmdControlCommand},
    {"control.delete", ZW_CmdControlDelete},
    {"control.drag", ZW_CmdControlDrag},
    {"control.elasticity", ZW_CmdControlElasticity},
    {"control.followMouse", ZW_CmdControlFollowMouse},
    {"control.font", ZW_CmdControlFont},
    {"control.fontColor", ZW_CmdControlFontColor},
    {"control.id", ZW_CmdControlId},
    {"control.image", ZW_CmdControlImage},
    {"control.imageDown", ZW_CmdControlImageDown},
    {"control.imageOver", ZW_CmdControlImageOver},
    {"control.mother", ZW_CmdControlMother},
    {"control.mouseCursor", ZW_CmdControlMouseCursor},
    {"control.name", ZW_CmdControlName},
    {"control.new", ZW_CmdControlNew},
    {"control.openPage", ZW_CmdControlOpenPage},
    {"control.posEnter", ZW_CmdControlPosEnter},
    {"control.posLeave", ZW_CmdControlPosLeave},
    {"control.posTarget", ZW_CmdControlPosTarget},
    {"control.page", ZW_CmdControlPage},
    {"control.reloadMenus", Nothing},
    {"control.scale", ZW_CmdControlScale},
    {"control.saveMenus", Nothing},
    {"control.switchPages", ZW_CmdControlSwitchPages},
    {"control.texture", ZW_CmdControlTexture},
    {"control.textureId", ZW_CmdControlTextureId},
    {"control.uvCoords", ZW_CmdControlUvCoords},
    {"control.zone", ZW_CmdControlZone},
    {"core.", Nothing},
    {"core.FPS", ZW_CmdCoreFPS},
    {"core.Mem", ZW_CmdCoreMem},
    {"core.resetFPS", ZW_CmdCoreResetFPS},
    {"core.sync", ZW_CmdCoreSync},
    {"editor.", Nothing},
    {"editor.balance", ZW_CmdEditorBalance},
    {"editor.export", ZW_CmdEditorExport},
    {"editor.mirror", ZW_CmdEditorMirror},
    {"editor.neverEdit", ZW_CmdEditorNeverEdit},
    {"editor.openMap", ZW_CmdEditorOpenMap},
    {"editor.setMode", ZW_CmdEditorSetMode},
    {"editor.setTool", Nothing},
    {"editor.showHelp", ZW_CmdEditorShowHelp},
    {"exec", ZW_CmdExec},
    {"exit", ZW_CmdExit},
    {"input.", Nothing},
    {"input.bind", ZW_CmdInputBind},
    {"input.mouseSens", ZW_CmdInputMouseSens},
    {"render.", Nothing},
    {"render.cameraPosition", ZW_CmdRenderCameraPosition},
    {"render.clearColor", ZW_CmdRenderClearColor},
    {"render.fontSize", ZW_CmdRenderFontSize},
    {"render.screenRes", ZW_CmdRenderScreenRes},
    {"texPick.", Nothing},
    {"texPick.pokeSnap", ZW_CmdTexPickPokeSnap},
    {"texPick.nextTex", Nothing},
    {"texPick.pickImage", Nothing},
    {"texPick.prevTex", ZW_CmdTexPickPrevTex},
    {"texture.", ZW_CmdTextureList},
    {"texture.name", ZW_CmdTextureName},
    {"texture.load", ZW_CmdTextureLoad},
};

int ZW_CommandCount() {
  return (int)(sizeof(zwCommands) / sizeof(zwCommands[0]));
}
