// The mission export: the two Juice files of a multiplayer mission, built in
// memory and written whole.
#include "zw_export.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "zw_files.h"

namespace {

// The text blocks of the two files. A word in braces is replaced where the
// block is written; line feeds become carriage return and line feed.
const char kMapHead[] =
    "INCLUDE kyx/xmap.fruit\n"
    "\n"
    "XMap_0006 myXMap\n"
    "{\n"
    "\tmyHeightMapFile \"custom_maps/{MAP}/{MAP}HeightMap.tga\"\n"
    "\tmyOverviewMapFile \"custom_maps/{MAP}/{MAP}OverviewMap.tga\"\n"
    "\tmySplatFile \"custom_maps/{MAP}/{MAP}.splat\"\n"
    "\tmyChockePointsFile \"custom_maps/{MAP}/{MAP}ChokePoints.dat\"\n"
    "\tmyStrengthHintsFile \"custom_maps/{MAP}/{MAP}StrengthHints.dat\"\n"
    "\tmyMinefieldHintsFile \"custom_maps/{MAP}/{MAP}MinefieldHints.dat\"\n"
    "\tmySupportHintsFile \"custom_maps/{MAP}/{MAP}SupportHints.dat\"\n"
    "\tmyLandscape {LANDSCAPE}\n"
    "\tmyEnvironment {ENVIRONMENT}\n"
    "\tmyInstancesFile \"custom_maps/{MAP}/{MAP}Instances.juice\"\n"
    "\tmyPlayfieldMinCoord\n"
    "\t{\n"
    "\t\tx {MINX}\n"
    "\t\tz {MINZ}\n"
    "\t}\n"
    "\n"
    "\tmyPlayfieldMaxCoord\n"
    "\t{\n"
    "\t\tx {MAXX}\n"
    "\t\tz {MAXZ}\n"
    "\t}\n"
    "\n"
    "\tmyMissionStats\n"
    "\t{\n"
    "\t\tmyName \"{MAP}\"\n"
    "\t\tmyDescription Description\n"
    "\t\tmyMissionType MULTIPLAYER\n"
    "\t\tmyInitialAp 7000\n"
    "\t\tmyScoreLimit 0\n"
    "\t\tmyTimeLimit 0.0\n"
    "\t\tmyWindDirection\n"
    "\t\t{\n"
    "\t\t\tmyX 4\n"
    "\t\t\tmyY 0.0\n"
    "\t\t\tmyZ 4\n"
    "\t\t}\n"
    "\n"
    "\t\tmyPlayers\n"
    "\t\t{";

const char kMapPlayer[] =
    "\n"
    "\t\t\tPLAYER{n}\n"
    "\t\t\t{\n"
    "\t\t\t\tmyType {TYPE}\n"
    "\t\t\t\tmyFaction NSA\n"
    "\t\t\t\tmyTeam TEAM_{T}\n"
    "\t\t\t\tmyColor\n"
    "\t\t\t\t{\n"
    "\t\t\t\t\tmyR {R}\n"
    "\t\t\t\t\tmyG {G}\n"
    "\t\t\t\t\tmyB {B}\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t\tmyName Player{n}\n"
    "\t\t\t\tmyAIConfigFile {AI}\n"
    "\t\t\t\tmyBasePosition\n"
    "\t\t\t\t{\n"
    "\t\t\t\t\tmyX 0.0\n"
    "\t\t\t\t\tmyY 0.0\n"
    "\t\t\t\t\tmyZ 0.0\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t\tmyDropshipStartLevels\n"
    "\t\t\t\t{\n"
    "\t\t\t\t\tmyArmorLevel 1\n"
    "\t\t\t\t\tmyWeaponLevel 1\n"
    "\t\t\t\t\tmyEngineLevel 1\n"
    "\t\t\t\t\tmySensorLevel 1\n"
    "\t\t\t\t\tmyCargoLevel 1\n"
    "\t\t\t\t\tmyFuelLevel 1\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t\tmyDropshipMaxLevels\n"
    "\t\t\t\t{\n"
    "\t\t\t\t\tmyArmorLevel 5\n"
    "\t\t\t\t\tmyWeaponLevel 5\n"
    "\t\t\t\t\tmyEngineLevel 5\n"
    "\t\t\t\t\tmySensorLevel 5\n"
    "\t\t\t\t\tmyCargoLevel 5\n"
    "\t\t\t\t\tmyFuelLevel 5\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t\tmyDropshipMaxTotalAttributeLevels 30\n"
    "\t\t\t\tmyDropshipIsAvailableFlag TRUE\n"
    "\t\t\t\tmyDropshipRespawnTime 300\n"
    "\t\t\t}\n";

const char kMapTail[] =
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tmyDisallowedMelds\n"
    "\t\t{\n"
    "\t\t}\n"
    "\n"
    "\t\tmyDisallowedUnits\n"
    "\t\t{\n"
    "\t\t}\n"
    "\n"
    "\t\tmyDisallowedSupportthings\n"
    "\t\t{\n"
    "\t\t}\n"
    "\n"
    "\t\tmyLoadingScreenImage ui/backgrounds/loading_default/loading_default01.dds\n"
    "\t\tmyLoadingScreenText Description\n"
    "\t\tmyAllowScriptedVictory TRUE\n"
    "\t\tmyAllowNoLZDefeat FALSE\n"
    "\t\tmyAllowNoVLDefeat TRUE\n"
    "\t\tmyAllowNoUnitsDefeat FALSE\n"
    "\t\tmyAllowNoPresenceDefeat TRUE\n"
    "\t}\n"
    "\n"
    "}\n";

const char kInstancesHead[] =
    "INCLUDE kyx/xinstancecontainer.fruit\n"
    "\n"
    "XInstances_0002 myInstances\n"
    "{\n"
    "\tmyScripts\n"
    "\t{\n"
    "\t\tScript START\n"
    "\t\t{\n"
    "\t\t\tWEATHER_SetWeatherEffect WEATHER_SetWeatherEffect__0\n"
    "\t\t\t{\n"
    "\t\t\t\tmyNewWeatherType Default_Cloud_3\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_ActivateScript SCRIPT_ActivateScript_zones_59\n"
    "\t\t\t{\n"
    "\t\t\t\tmyScript myInstances.myScripts.zones\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_ActivateScript SCRIPT_ActivateScript_connect_Player_ANY_4\n"
    "\t\t\t{\n"
    "\t\t\t\tmyScript myInstances.myScripts.connect_Player_ANY\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_ActivateScript SCRIPT_ActivateScript_conditions_win_20\n"
    "\t\t\t{\n"
    "\t\t\t\tmyScript myInstances.myScripts.conditions_win\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_ActivateScript SCRIPT_ActivateScript_sounds_0\n"
    "\t\t\t{\n"
    "\t\t\t\tmyScript myInstances.myScripts.sounds\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_EvaluationBranch SCRIPT_EvaluationBranch__0\n"
    "\t\t\t{\n"
    "\t\t\t\tmyTrueScript myInstances.myScripts.MAP_IS_SYNC\n"
    "\t\t\t\tmyFalseScript myInstances.myScripts.MAP_IS_DROPIN\n"
    "\t\t\t\tmyConditions\n"
    "\t\t\t\t{\n"
    "\t\t\t\t\tCONDITION_IntCampaignFlagEquals myScriptclassEntry\n"
    "\t\t\t\t\t{\n"
    "\t\t\t\t\t\tmyFlag MISSION_OPTION_ALLOW_DROPIN\n"
    "\t\t\t\t\t\tmyValue 0\n"
    "\t\t\t\t\t}\n"
    "\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_ActivateScript SCRIPT_ActivateScript__42\n"
    "\t\t\t{\n"
    "\t\t\t\tmyScript myInstances.myScripts.TURRETS\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript TURRETS\n"
    "\t\t{\n"
    "\t\t}\n"
    "\n"
    "\t\tScript DUMMY\n"
    "\t\t{\n"
    "\t\t}\n"
    "\n"
    "\t\tScript obj_noUnits\n"
    "\t\t{\n"
    "\t\t\tOBJ_AddObjective_HumanObjective OBJ_AddObjective_HumanObjective__bcs117_1\n"
    "\t\t\t{\n"
    "\t\t\t\tmyPlayer CONTEXT.PLAYER\n"
    "\t\t\t\tmyShortDescription \"Lose on no Units\"\n"
    "\t\t\t\tmyLongDescription \"Game is lost if your team has no units on the battlefield.\"\n"
    "\t\t\t\tmyImportance 0.000000\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript obj_noPresence\n"
    "\t\t{\n"
    "\t\t\tOBJ_AddObjective_HumanObjective OBJ_AddObjective_HumanObjective__2\n"
    "\t\t\t{\n"
    "\t\t\t\tmyPlayer CONTEXT.PLAYER\n"
    "\t\t\t\tmyShortDescription \"Lose on no Presence\"\n"
    "\t\t\t\tmyLongDescription \"Game is lost if your team has no units and no Landing Zone.\"\n"
    "\t\t\t\tmyImportance 0.000000\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript obj_lzDomination\n"
    "\t\t{\n"
    "\t\t\tOBJ_AddObjective_HumanObjective OBJ_AddObjective_HumanObjective__0\n"
    "\t\t\t{\n"
    "\t\t\t\tmyPlayer CONTEXT.PLAYER\n"
    "\t\t\t\tmyShortDescription \"LZ Domination\"\n"
    "\t\t\t\tmyLongDescription \"Game is won by controlling all Landing Zones.\\n\\nCompromise time: 30 seconds.\\nCapture time: 10 seconds.\"\n"
    "\t\t\t\tmyImportance 0.000000\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript obj_vlDomination\n"
    "\t\t{\n"
    "\t\t\tOBJ_AddObjective_HumanObjective OBJ_AddObjective_HumanObjective_12\n"
    "\t\t\t{\n"
    "\t\t\t\tmyPlayer CONTEXT.PLAYER\n"
    "\t\t\t\tmyShortDescription \"VL Domination\"\n"
    "\t\t\t\tmyLongDescription \"Game is won by controlling all Victory Locations.\\n\\nCompromise time: 10 seconds.\\nCapture time: 30 seconds.\"\n"
    "\t\t\t\tmyImportance 0.000000\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript MAP_IS_SYNC\n"
    "\t\t{\n"
    "\t\t\tSCRIPT_RandomAddZone SCRIPT_RandomAddZone__2\n"
    "\t\t\t{\n"
    "\t\t\t\tmyZones\n"
    "\t\t\t\t{";

const char kSyncZone[] =
    "\n"
    "\t\t\t\t\tTEAM_AddZone* TEAM_AddZone_LZ{n}_cap myInstances.myScripts.zones_random.TEAM_AddZone_LZ{n}_cap\n";

const char kSyncToDropIn[] =
    "\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript MAP_IS_DROPIN\n"
    "\t\t{\n"
    "\t\t\tSCRIPT_RandomAddZone SCRIPT_RandomAddZone__3\n"
    "\t\t\t{\n"
    "\t\t\t\tmyZones\n"
    "\t\t\t\t{";

const char kDropInZone[] =
    "\n"
    "\t\t\t\t\tTEAM_AddZone* TEAM_AddZone_LZ{n} myInstances.myScripts.zones_random.TEAM_AddZone_LZ{n}\n";

const char kDropInToRandom[] =
    "\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript zones_random\n"
    "\t\t{";

const char kLzCaptureZone[] =
    "\n"
    "\t\t\tTEAM_AddZone TEAM_AddZone_LZ{n}_cap\n"
    "\t\t\t{\n"
    "\t\t\t\tmyZoneMarker myInstances.myInstances.LZ_{n}_thing\n"
    "\t\t\t\tmyArea myInstances.myInstances.LZ_{n}_area\n"
    "\t\t\t\tmyBasePosition myInstances.myInstances.LZ_{n}_base\n"
    "\t\t\t\tmyCamera myInstances.myInstances.CameraPosition_LZ{n}\n"
    "\t\t\t\tmyStartingTeam TEAM_{T}\n"
    "\t\t\t\tmyIsCapturableFlag TRUE\n"
    "\t\t\t\tmyIsLandableFlag TRUE\n"
    "\t\t\t\tmyCaptureApAward 0\n"
    "\t\t\t\tmyTimedApAward 100\n"
    "\t\t\t\tmyApAwardIntervalInSeconds 3\n"
    "\t\t\t\tmyTimeToCaptureInSeconds 10\n"
    "\t\t\t\tmyTimeToLooseInSeconds 30\n"
    "\t\t\t\tmyCautionFactor 1.0\n"
    "\t\t\t\tmyMinimapIconFile ui/skins/lz.dds\n"
    "\t\t\t\tmyCaptureSound sound/ingame/general_feedback/F1_objectives_LZcaptured.wav\n"
    "\t\t\t\tmyLostSound sound/ingame/general_feedback/F1_objective_LZabouttobelost.wav\n"
    "\t\t\t\tmySomeoneCapturedItSound sound/ingame/general_feedback/F1_objectives_LZlost.wav\n"
    "\t\t\t\tmyAboutToLooseSound sound/ingame/general_feedback/objective_neutral.wav\n"
    "\t\t\t}\n";

const char kLzZone[] =
    "\n"
    "\t\t\tTEAM_AddZone TEAM_AddZone_LZ{n}\n"
    "\t\t\t{\n"
    "\t\t\t\tmyZoneMarker myInstances.myInstances.LZ_UC_{n}_thing\n"
    "\t\t\t\tmyArea myInstances.myInstances.LZ_{n}_area\n"
    "\t\t\t\tmyBasePosition myInstances.myInstances.LZ_{n}_base\n"
    "\t\t\t\tmyCamera myInstances.myInstances.CameraPosition_LZ{n}\n"
    "\t\t\t\tmyStartingTeam TEAM_{T}\n"
    "\t\t\t\tmyIsCapturableFlag FALSE\n"
    "\t\t\t\tmyIsLandableFlag TRUE\n"
    "\t\t\t\tmyCaptureApAward 0\n"
    "\t\t\t\tmyTimedApAward 100\n"
    "\t\t\t\tmyApAwardIntervalInSeconds 3\n"
    "\t\t\t\tmyTimeToCaptureInSeconds 10\n"
    "\t\t\t\tmyTimeToLooseInSeconds 30\n"
    "\t\t\t\tmyCautionFactor 1.0\n"
    "\t\t\t\tmyMinimapIconFile ui/skins/lzna.dds\n"
    "\t\t\t\tmyCaptureSound sound/ingame/general_feedback/F1_objectives_LZcaptured.wav\n"
    "\t\t\t\tmyLostSound sound/ingame/general_feedback/F1_objective_LZabouttobelost.wav\n"
    "\t\t\t\tmySomeoneCapturedItSound sound/ingame/general_feedback/F1_objectives_LZlost.wav\n"
    "\t\t\t\tmyAboutToLooseSound sound/ingame/general_feedback/objective_neutral.wav\n"
    "\t\t\t}\n";

const char kRandomToZones[] =
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript zones\n"
    "\t\t{";

const char kVlZone[] =
    "\n"
    "\t\t\tTEAM_AddZone TEAM_AddZone_VL{n}\n"
    "\t\t\t{\n"
    "\t\t\t\tmyZoneMarker myInstances.myInstances.VL_{n}_thing\n"
    "\t\t\t\tmyArea myInstances.myInstances.VL_{n}_area\n"
    "\t\t\t\tmyBasePosition NULL\n"
    "\t\t\t\tmyCamera NULL\n"
    "\t\t\t\tmyStartingTeam TEAM_NOTEAM\n"
    "\t\t\t\tmyIsCapturableFlag TRUE\n"
    "\t\t\t\tmyIsLandableFlag FALSE\n"
    "\t\t\t\tmyCaptureApAward 0\n"
    "\t\t\t\tmyTimedApAward 50\n"
    "\t\t\t\tmyApAwardIntervalInSeconds 3\n"
    "\t\t\t\tmyTimeToCaptureInSeconds 30\n"
    "\t\t\t\tmyTimeToLooseInSeconds 10\n"
    "\t\t\t\tmyCautionFactor 1.0\n"
    "\t\t\t\tmyMinimapIconFile ui/skins/vl.dds\n"
    "\t\t\t\tmyCaptureSound sound/ingame/general_feedback/F1_objectives_VLcaptured.wav\n"
    "\t\t\t\tmyLostSound sound/ingame/general_feedback/F1_objective_VLabouttobelost.wav\n"
    "\t\t\t\tmySomeoneCapturedItSound sound/ingame/general_feedback/F1_objectives_VLlost.wav\n"
    "\t\t\t\tmyAboutToLooseSound sound/ingame/general_feedback/objective_neutral.wav\n"
    "\t\t\t}\n";

const char kPlayerScripts[] =
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript connect_Player_ANY\n"
    "\t\t{\n"
    "\t\t\tTRIGGER_PlayerConnected TRIGGER_PlayerConnected_connected_Player_ANY_12\n"
    "\t\t\t{\n"
    "\t\t\t\tmyTriggeredScript myInstances.myScripts.connected_Player_ANY\n"
    "\t\t\t\tmyPlayer PLAYER_ANY\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript connected_Player_ANY\n"
    "\t\t{\n"
    "\t\t\tPLAYER_MoveCameraToLz PLAYER_MoveCameraToLz__0\n"
    "\t\t\t{\n"
    "\t\t\t\tmyPlayer CONTEXT.PLAYER\n"
    "\t\t\t\tmyMoveTimeInSeconds 0.0\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tOBJ_AddObjective_HumanObjective OBJ_AddObjective_HumanObjective_MAINDESCRIPTION\n"
    "\t\t\t{\n"
    "\t\t\t\tmyPlayer CONTEXT.PLAYER\n"
    "\t\t\t\tmyShortDescription \"{MAP_UPPER}\"\n"
    "\t\t\t\tmyLongDescription \"Victory Locations: 400 AP/minute\\nnLanding Zones: 1000 AP/minute\\n\\nBackground: N/A\"\n"
    "\t\t\t\tmyImportance 0.0\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_EvaluationBranch SCRIPT_EvaluationBranch_vlDomination\n"
    "\t\t\t{\n"
    "\t\t\t\tmyTrueScript myInstances.myScripts.obj_vlDomination\n"
    "\t\t\t\tmyFalseScript myInstances.myScripts.DUMMY\n"
    "\t\t\t\tmyConditions\n"
    "\t\t\t\t{\n"
    "\t\t\t\t\tCONDITION_IntCampaignFlagEquals myScriptclassEntry\n"
    "\t\t\t\t\t{\n"
    "\t\t\t\t\t\tmyFlag MISSION_OPTION_WIN_ON_ALL_VL\n"
    "\t\t\t\t\t\tmyValue 1\n"
    "\t\t\t\t\t}\n"
    "\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_EvaluationBranch SCRIPT_EvaluationBranch_lzDomination\n"
    "\t\t\t{\n"
    "\t\t\t\tmyTrueScript myInstances.myScripts.obj_lzDomination\n"
    "\t\t\t\tmyFalseScript myInstances.myScripts.DUMMY\n"
    "\t\t\t\tmyConditions\n"
    "\t\t\t\t{\n"
    "\t\t\t\t\tCONDITION_IntCampaignFlagEquals myScriptclassEntry\n"
    "\t\t\t\t\t{\n"
    "\t\t\t\t\t\tmyFlag MISSION_OPTION_LOSE_ON_NO_LZ\n"
    "\t\t\t\t\t\tmyValue 1\n"
    "\t\t\t\t\t}\n"
    "\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_EvaluationBranch SCRIPT_EvaluationBranch_noPresence\n"
    "\t\t\t{\n"
    "\t\t\t\tmyTrueScript myInstances.myScripts.obj_noPresence\n"
    "\t\t\t\tmyFalseScript myInstances.myScripts.DUMMY\n"
    "\t\t\t\tmyConditions\n"
    "\t\t\t\t{\n"
    "\t\t\t\t\tCONDITION_IntCampaignFlagEquals myScriptclassEntry\n"
    "\t\t\t\t\t{\n"
    "\t\t\t\t\t\tmyFlag MISSION_OPTION_LOSE_ON_NO_PRESENCE\n"
    "\t\t\t\t\t\tmyValue 1\n"
    "\t\t\t\t\t}\n"
    "\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_EvaluationBranch SCRIPT_EvaluationBranch_noUnits\n"
    "\t\t\t{\n"
    "\t\t\t\tmyTrueScript myInstances.myScripts.obj_noUnits\n"
    "\t\t\t\tmyFalseScript myInstances.myScripts.DUMMY\n"
    "\t\t\t\tmyConditions\n"
    "\t\t\t\t{\n"
    "\t\t\t\t\tCONDITION_IntCampaignFlagEquals myScriptclassEntry\n"
    "\t\t\t\t\t{\n"
    "\t\t\t\t\t\tmyFlag MISSION_OPTION_LOSE_ON_NO_UNITS\n"
    "\t\t\t\t\t\tmyValue 1\n"
    "\t\t\t\t\t}\n"
    "\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tSCRIPT_ActivateScript SCRIPT_ActivateScript_connect_Player_ANY_6\n"
    "\t\t\t{\n"
    "\t\t\t\tmyScript myInstances.myScripts.connect_Player_ANY\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript conditions_win\n"
    "\t\t{\n"
    "\t\t\tTRIGGER_ZonesTakenByTeam TRIGGER_ZonesTakenByTeam_TEAM_ANY_0\n"
    "\t\t\t{\n"
    "\t\t\t\tmyTriggeredScript myInstances.myScripts.win\n"
    "\t\t\t\tmyTeam TEAM_ANY\n"
    "\t\t\t\tmyAllZonesFlag TRUE\n"
    "\t\t\t\tmyZones\n"
    "\t\t\t\t{";

const char kWinZone[] =
    "\n"
    "\t\t\t\t\tTEAM_AddZone* TEAM_AddZone_VL{n} myInstances.myScripts.zones.TEAM_AddZone_VL{n}\n";

const char kWinToInstances[] =
    "\n"
    "\t\t\t\t}\n"
    "\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript win\n"
    "\t\t{\n"
    "\t\t\tSCRIPT_SucceedMission SCRIPT_SucceedMission_CONTEXT_TEAM_1\n"
    "\t\t\t{\n"
    "\t\t\t\tmyTeam CONTEXT.TEAM\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tScript sounds\n"
    "\t\t{\n"
    "\t\t}\n"
    "\n"
    "\t}\n"
    "\n"
    "\tmyInstances\n"
    "\t{";

const char kLzInstances[] =
    "\n"
    "\t\tXThingInstance LZ_{n}_thing\n"
    "\t\t{\n"
    "\t\t\tmyType LZ_thing\n"
    "\t\t\tmyPosition\n"
    "\t\t\t{\n"
    "\t\t\t\tmyX {X}\n"
    "\t\t\t\tmyY {Y}\n"
    "\t\t\t\tmyZ {Z}\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tmyOrientation\n"
    "\t\t\t{\n"
    "\t\t\t\tmyX 0.000000\n"
    "\t\t\t\tmyY 0.000000\n"
    "\t\t\t\tmyZ -1.000000\n"
    "\t\t\t}\n"
    "\t\t}\n"
    "\n"
    "\t\tXThingInstance LZ_UC_{n}_thing\n"
    "\t\t{\n"
    "\t\t\tmyType LZ_UC_thing\n"
    "\t\t\tmyPosition\n"
    "\t\t\t{\n"
    "\t\t\t\tmyX {X}\n"
    "\t\t\t\tmyY {Y}\n"
    "\t\t\t\tmyZ {Z}\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tmyOrientation\n"
    "\t\t\t{\n"
    "\t\t\t\tmyX 0.000000\n"
    "\t\t\t\tmyY 0.000000\n"
    "\t\t\t\tmyZ -1.000000\n"
    "\t\t\t}\n"
    "\t\t}\n"
    "\n"
    "\t\tXSphereInstance LZ_{n}_area\n"
    "\t\t{\n"
    "\t\t\tmyPosition\n"
    "\t\t\t{\n"
    "\t\t\t\tmyX {X}\n"
    "\t\t\t\tmyY {Y}\n"
    "\t\t\t\tmyZ {Z}\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tmyRadius 50.000000\n"
    "\t\t}\n"
    "\n"
    "\t\tXCameraInstance CameraPosition_LZ{n}\n"
    "\t\t{\n"
    "\t\t\tmyPosition\n"
    "\t\t\t{\n"
    "\t\t\t\tmyX {CX}\n"
    "\t\t\t\tmyY {CY}\n"
    "\t\t\t\tmyZ {CZ}\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tmyRotation\n"
    "\t\t\t{\n"
    "\t\t\t\tx {RX}\n"
    "\t\t\t\tz {RZ}\n"
    "\t\t\t}\n"
    "\n"
    "\t\t}\n"
    "\n"
    "\t\tXSphereInstance LZ_{n}_base\n"
    "\t\t{\n"
    "\t\t\tmyPosition\n"
    "\t\t\t{\n"
    "\t\t\t\tmyX {BX}\n"
    "\t\t\t\tmyY {BY}\n"
    "\t\t\t\tmyZ {BZ}\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tmyRadius 25.000000\n"
    "\t\t}\n";

const char kVlInstances[] =
    "\n"
    "\t\tXThingInstance VL_{n}_thing\n"
    "\t\t{\n"
    "\t\t\tmyType VL_thing\n"
    "\t\t\tmyPosition\n"
    "\t\t\t{\n"
    "\t\t\t\tmyX {X}\n"
    "\t\t\t\tmyY {Y}\n"
    "\t\t\t\tmyZ {Z}\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tmyOrientation\n"
    "\t\t\t{\n"
    "\t\t\t\tmyX 0.000000\n"
    "\t\t\t\tmyY 0.000000\n"
    "\t\t\t\tmyZ -1.000000\n"
    "\t\t\t}\n"
    "\t\t}\n"
    "\n"
    "\t\tXSphereInstance VL_{n}_area\n"
    "\t\t{\n"
    "\t\t\tmyPosition\n"
    "\t\t\t{\n"
    "\t\t\t\tmyX {X}\n"
    "\t\t\t\tmyY {Y}\n"
    "\t\t\t\tmyZ {Z}\n"
    "\t\t\t}\n"
    "\n"
    "\t\t\tmyRadius 40.000000\n"
    "\t\t}\n";

const char kEnd[] =
    "\n"
    "\t}\n"
    "\n"
    "}\n";

struct Field {
  const char* key;
  const char* value;
};

// Appends a block with its words in braces replaced by the fields' values.
void AppendBlock(std::string* anOut, const char* aTemplate, const Field* aFields, int aCount) {
  for (const char* p = aTemplate; *p; p++) {
    if (*p == '\n') {
      anOut->append("\r\n");
      continue;
    }
    if (*p == '{') {
      const Field* locField = nullptr;
      for (int i = 0; i < aCount && !locField; i++) {
        size_t locLength = strlen(aFields[i].key);
        if (strncmp(p + 1, aFields[i].key, locLength) == 0 && p[1 + locLength] == '}') {
          locField = &aFields[i];
          anOut->append(locField->value);
          p += locLength + 1;
        }
      }
      if (locField) {
        continue;
      }
    }
    anOut->push_back(*p);
  }
}

struct Number {
  char text[48];
  explicit Number(double aValue) { snprintf(text, sizeof(text), "%.6f", aValue); }
};

struct Count {
  char text[16];
  explicit Count(int aValue) { snprintf(text, sizeof(text), "%d", aValue); }
};

struct Player {
  const char* type;
  const char* team;
  const char* red;
  const char* green;
  const char* blue;
  const char* ai;
};

const Player kPlayers[8] = {
    {"HUMAN", "1", "0", "240", "240", "<empty>"},
    {"HUMAN", "2", "200", "164", "110", "<empty>"},
    {"HUMAN", "3", "240", "240", "0", "<empty>"},
    {"HUMAN", "4", "240", "0", "240", "<empty>"},
    {"HUMAN", "1", "199", "225", "158", "<empty>"},
    {"HUMAN", "2", "244", "160", "189", "<empty>"},
    {"HUMAN", "3", "231", "101", "26", "<empty>"},
    {"AI", "4", "0", "84", "24", "commanderai/mp09_terran.ice"},
};

const double kDegrees = 57.324840764331206;  // 180 / 3.14
const double kRadians = 0.017453292;

// Appends one block per marker of a kind, with its number within the kind.
template <typename FieldsOf>
void AppendPerMarker(std::string* anOut, const char* aTemplate, const ZW_ExportMarker* aMarkers, int aCount,
                     int aKind, FieldsOf aFieldsOf) {
  int locNumber = 0;
  for (int i = 0; i < aCount; i++) {
    if (aMarkers[i].kind == aKind) {
      aFieldsOf(anOut, aTemplate, aMarkers[i], ++locNumber);
    }
  }
}

void AppendNumbered(std::string* anOut, const char* aTemplate, const ZW_ExportMarker&, int aNumber) {
  Count locN(aNumber);
  Count locTeam(ZW_LzTeam(aNumber));
  const Field locFields[] = {{"n", locN.text}, {"T", locTeam.text}};
  AppendBlock(anOut, aTemplate, locFields, 2);
}

void AppendLzInstances(std::string* anOut, const char* aTemplate, const ZW_ExportMarker& aMarker, int aNumber) {
  Count locN(aNumber);
  Number locX(aMarker.world[0]), locY(aMarker.world[1]), locZ(aMarker.world[2]);
  Number locCx(aMarker.camera[0]), locCy(aMarker.camera[1]), locCz(aMarker.camera[2]);
  Number locRx(aMarker.rotation[0]), locRz(aMarker.rotation[2]);
  Number locBx(aMarker.base[0]), locBy(aMarker.base[1]), locBz(aMarker.base[2]);
  const Field locFields[] = {{"n", locN.text},   {"X", locX.text},   {"Y", locY.text},   {"Z", locZ.text},
                             {"CX", locCx.text}, {"CY", locCy.text}, {"CZ", locCz.text}, {"RX", locRx.text},
                             {"RZ", locRz.text}, {"BX", locBx.text}, {"BY", locBy.text}, {"BZ", locBz.text}};
  AppendBlock(anOut, aTemplate, locFields, 12);
}

void AppendVlInstances(std::string* anOut, const char* aTemplate, const ZW_ExportMarker& aMarker, int aNumber) {
  Count locN(aNumber);
  Number locX(aMarker.world[0]), locY(aMarker.world[1]), locZ(aMarker.world[2]);
  const Field locFields[] = {{"n", locN.text}, {"X", locX.text}, {"Y", locY.text}, {"Z", locZ.text}};
  AppendBlock(anOut, aTemplate, locFields, 4);
}

float Clamp(float aValue, float aLow, float aHigh) {
  return aValue < aLow ? aLow : (aValue > aHigh ? aHigh : aValue);
}

}  // namespace

int ZW_LzTeam(int aNumber) {
  return aNumber <= 16 ? (aNumber - 1) % 4 + 1 : 1;
}

void ZW_LzBase(const float aWorld[3], const ZW_Crop& aCrop, float aBase[3]) {
  float x = aWorld[0];
  float z = aWorld[2];
  aBase[0] = x;
  aBase[1] = aWorld[1];
  aBase[2] = z;
  // Distances to the low-x, high-x, top and bottom edges; world x is mirrored.
  const float locDistance[4] = {x - (float)(ZW_WORLD_SIZE - aCrop.worldRight),
                                (float)(ZW_WORLD_SIZE - aCrop.worldLeft) - x, z - (float)aCrop.worldTop,
                                (float)aCrop.worldBottom - z};
  int locEdge = -1;
  float locNearest = 1000000.0f;
  for (int i = 0; i < 4; i++) {
    if (locDistance[i] < locNearest) {
      locNearest = locDistance[i];
      locEdge = i;
    }
  }
  switch (locEdge) {
    case 0: aBase[0] = (float)(ZW_WORLD_SIZE - aCrop.worldRight - 550); break;
    case 1: aBase[0] = (float)(ZW_WORLD_SIZE - aCrop.worldLeft + 550); break;
    case 2: aBase[2] = (float)(aCrop.worldTop - 550); break;
    case 3: aBase[2] = (float)(aCrop.worldBottom + 550); break;
    default: break;
  }
  aBase[0] = Clamp(aBase[0], 2.0f, 3070.0f);
  aBase[2] = Clamp(aBase[2], 2.0f, 3070.0f);
  aBase[1] = 127.0f;
}

void ZW_LzCamera(const float aWorld[3], const ZW_Crop& aCrop, float aCamera[3], float aRotation[3]) {
  float x = aWorld[0];
  float z = aWorld[2];
  float locCentreX = (float)(ZW_WORLD_SIZE - aCrop.cx);
  float locCentreZ = (float)aCrop.cy;
  float a1 = (float)((atan2((double)(z - locCentreZ), (double)(x - locCentreX)) * kDegrees - 90.0) * kRadians);
  float locX = (float)(x + 60.0 * sin(-a1));
  float locZ = (float)(z + 60.0 * cos(-a1));
  aCamera[0] = locX;
  aCamera[1] = aWorld[1] + 50.0f;
  aCamera[2] = locZ;
  float a2 = (float)((atan2((double)(locCentreZ - locZ), (double)(locCentreX - locX)) * kDegrees - 90.0) * kRadians);
  float locRz = fabsf(a2);
  if (locCentreX < locX && locZ < locCentreZ) {
    locRz = -locRz;
  }
  aRotation[0] = 0.5f;
  aRotation[2] = locRz;
}

void ZW_BuildMapFile(const ZW_MapValues& aValues, const ZW_Crop& aCrop, std::string* anOut) {
  Number locMinX(ZW_WORLD_SIZE - aCrop.worldRight), locMinZ(aCrop.worldTop);
  Number locMaxX(ZW_WORLD_SIZE - aCrop.worldLeft), locMaxZ(aCrop.worldBottom);
  const Field locHead[] = {{"MAP", aValues.mapName},   {"LANDSCAPE", aValues.landscape},
                           {"ENVIRONMENT", aValues.environment}, {"MINX", locMinX.text},
                           {"MINZ", locMinZ.text},     {"MAXX", locMaxX.text},
                           {"MAXZ", locMaxZ.text}};
  AppendBlock(anOut, kMapHead, locHead, 7);
  for (int n = 1; n <= 8; n++) {
    const Player& p = kPlayers[n - 1];
    Count locN(n);
    const Field locPlayer[] = {{"n", locN.text}, {"TYPE", p.type}, {"T", p.team}, {"R", p.red},
                               {"G", p.green},   {"B", p.blue},    {"AI", p.ai}};
    AppendBlock(anOut, kMapPlayer, locPlayer, 7);
  }
  AppendBlock(anOut, kMapTail, nullptr, 0);
}

void ZW_ComputeLzPositions(ZW_ExportMarker* aMarkers, int aCount, const ZW_Crop& aCrop) {
  for (int i = 0; i < aCount; i++) {
    if (aMarkers[i].kind == ZW_ZONE_LANDING) {
      ZW_LzBase(aMarkers[i].world, aCrop, aMarkers[i].base);
    }
  }
  for (int i = 0; i < aCount; i++) {
    if (aMarkers[i].kind == ZW_ZONE_LANDING) {
      ZW_LzCamera(aMarkers[i].world, aCrop, aMarkers[i].camera, aMarkers[i].rotation);
    }
  }
}

void ZW_BuildInstancesFile(const ZW_ExportMarker* aMarkers, int aCount, ZW_MapValues* aValues,
                           std::string* anOut) {
  const ZW_ExportMarker* m = aMarkers;
  AppendBlock(anOut, kInstancesHead, nullptr, 0);
  AppendPerMarker(anOut, kSyncZone, m, aCount, ZW_ZONE_LANDING, AppendNumbered);
  AppendBlock(anOut, kSyncToDropIn, nullptr, 0);
  AppendPerMarker(anOut, kDropInZone, m, aCount, ZW_ZONE_LANDING, AppendNumbered);
  AppendBlock(anOut, kDropInToRandom, nullptr, 0);
  AppendPerMarker(anOut, kLzCaptureZone, m, aCount, ZW_ZONE_LANDING, AppendNumbered);
  AppendPerMarker(anOut, kLzZone, m, aCount, ZW_ZONE_LANDING, AppendNumbered);
  AppendBlock(anOut, kRandomToZones, nullptr, 0);
  AppendPerMarker(anOut, kVlZone, m, aCount, ZW_ZONE_VICTORY, AppendNumbered);
  // The map name is upper-cased in place, so a later map file carries it too.
  for (char* c = aValues->mapName; *c; c++) {
    if (*c >= 'a' && *c <= 'z') {
      *c = (char)(*c - 'a' + 'A');
    }
  }
  const Field locUpper[] = {{"MAP_UPPER", aValues->mapName}};
  AppendBlock(anOut, kPlayerScripts, locUpper, 1);
  AppendPerMarker(anOut, kWinZone, m, aCount, ZW_ZONE_VICTORY, AppendNumbered);
  AppendBlock(anOut, kWinToInstances, nullptr, 0);
  AppendPerMarker(anOut, kLzInstances, m, aCount, ZW_ZONE_LANDING, AppendLzInstances);
  AppendPerMarker(anOut, kVlInstances, m, aCount, ZW_ZONE_VICTORY, AppendVlInstances);
  AppendBlock(anOut, kEnd, nullptr, 0);
}

ZW_ExportStatus ZW_ExportMission(const ZW_MapPaths& aPaths, ZW_MapValues* aValues, const ZW_Crop& aCrop,
                                 ZW_ExportMarker* aMarkers, int aCount, size_t* aBytesWritten) {
  *aBytesWritten = 0;
  std::string locMap;
  locMap.reserve(16384);
  ZW_BuildMapFile(*aValues, aCrop, &locMap);
  std::vector<ZW_ExportMarker> locMarkers(aMarkers, aMarkers + aCount);
  ZW_ComputeLzPositions(locMarkers.data(), aCount, aCrop);
  ZW_MapValues locValues = *aValues;
  std::string locInstances;
  locInstances.reserve(16384 + (size_t)aCount * 4096);
  ZW_BuildInstancesFile(locMarkers.data(), aCount, &locValues, &locInstances);
  const ZW_NewFile locFiles[2] = {{aPaths.mapFilePath, locMap.data(), locMap.size()},
                                  {aPaths.instancesPath, locInstances.data(), locInstances.size()}};
  ZW_KeepFailure locFailure;
  if (!ZW_ReplaceFilesKept(locFiles, 2, &locFailure)) {
    bool locMapFile = locFailure.file == 0;
    switch (locFailure.step) {
      case ZW_KEEP_BACKUP:
        return locMapFile ? ZW_EXPORT_MAP_BACKUP_FAILED : ZW_EXPORT_INSTANCES_BACKUP_FAILED;
      case ZW_KEEP_ORIGINAL:
        return locMapFile ? ZW_EXPORT_MAP_ORIGINAL_FAILED : ZW_EXPORT_INSTANCES_ORIGINAL_FAILED;
      default:
        return locMapFile ? ZW_EXPORT_MAP_FAILED : ZW_EXPORT_INSTANCES_FAILED;
    }
  }
  std::copy(locMarkers.begin(), locMarkers.end(), aMarkers);
  *aValues = locValues;
  *aBytesWritten = locMap.size() + locInstances.size();
  return ZW_EXPORT_OK;
}

namespace {

// The closing brace of a word such as "{X}" that begins at aBrace, or null
// (a brace of the Juice text itself).
const char* WordEnd(const char* aBrace) {
  const char* p = aBrace + 1;
  while ((*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z') || *p == '_') {
    p++;
  }
  return *p == '}' && p > aBrace + 1 ? p : nullptr;
}

// Matches a block (line feeds as carriage return and line feed) against bytes;
// a word in braces matches a number: up to 47 of "-", "." and digits.
struct BlockMatch {
  const unsigned char* data;
  size_t size;
  size_t pos;
  double values[32];
  float floats[32];  // the same words as the nearest floats
  int count;

  bool Match(const char* aTemplate) {
    count = 0;
    size_t p = pos;
    for (const char* t = aTemplate; *t; t++) {
      if (*t == '\n') {
        if (p + 1 >= size || data[p] != '\r' || data[p + 1] != '\n') {
          return false;
        }
        p += 2;
        continue;
      }
      const char* locClose = *t == '{' ? WordEnd(t) : nullptr;
      if (locClose && count < 32) {
        char locNumber[48];
        size_t n = 0;
        while (p < size && n < sizeof(locNumber) - 1 &&
               (data[p] == '-' || data[p] == '.' || (data[p] >= '0' && data[p] <= '9'))) {
          locNumber[n++] = (char)data[p++];
        }
        if (n == 0) {
          return false;
        }
        locNumber[n] = 0;
        char* locEnd = nullptr;
        double v = strtod(locNumber, &locEnd);
        if (*locEnd != 0 || !std::isfinite(v)) {
          return false;
        }
        values[count] = v;
        floats[count++] = strtof(locNumber, nullptr);
        t = locClose;
        continue;
      }
      if (p >= size || data[p] != (unsigned char)*t) {
        return false;
      }
      p++;
    }
    pos = p;
    return true;
  }

  // The value of the n-th word of the last match.
  double Value(int anIndex) const { return values[anIndex]; }
  float Float(int anIndex) const { return floats[anIndex]; }
};

std::string Block(const char* aTemplate) {
  std::string locOut;
  AppendBlock(&locOut, aTemplate, nullptr, 0);
  return locOut;
}

bool StartsWith(const unsigned char* aData, size_t aSize, const std::string& aText) {
  return aSize >= aText.size() && memcmp(aData, aText.data(), aText.size()) == 0;
}

// Position of a text in the bytes at or after aFrom, or aSize.
size_t Find(const unsigned char* aData, size_t aSize, size_t aFrom, const std::string& aText) {
  const unsigned char* locText = (const unsigned char*)aText.data();
  const unsigned char* p = std::search(aData + aFrom, aData + aSize, locText, locText + aText.size());
  return (size_t)(p - aData);
}

// The playfield's two blocks in the head of the map file.
std::string PlayfieldBlock() {
  std::string locHead = kMapHead;
  size_t locStart = locHead.find("\tmyPlayfieldMinCoord");
  size_t locEnd = locHead.find("\n\tmyMissionStats");
  return locHead.substr(locStart, locEnd - locStart);
}

// A world coordinate of the playfield: a whole number on the map.
bool PlayfieldValue(double aValue, int* anOut) {
  if (aValue < 0 || aValue > ZW_WORLD_SIZE || aValue != floor(aValue)) {
    return false;
  }
  *anOut = (int)aValue;
  return true;
}

ZW_MissionKind Refuse(ZW_MissionKind aKind, const char* aReason, const char** aWhy) {
  *aWhy = aReason;
  return aKind;
}

}  // namespace

ZW_MissionKind ZW_ReadMission(const unsigned char* anInstances, size_t anInstancesSize,
                              const unsigned char* aMap, size_t aMapSize, const ZW_MapValues& aValues,
                              ZW_Mission* aMission, const char** aWhy) {
  *aWhy = "";
  aMission->markers.clear();
  if (!StartsWith(anInstances, anInstancesSize, Block(kInstancesHead))) {
    static const std::string kJuiceInstances = "INCLUDE kyx/xinstancecontainer.fruit";
    if (StartsWith(anInstances, anInstancesSize, kJuiceInstances)) {
      return Refuse(ZW_MISSION_GAME_EDITOR, "the instances file was not written by this wizard", aWhy);
    }
    return Refuse(ZW_MISSION_FOREIGN, "the file is not an instances file", aWhy);
  }
  // The markers: the instances at the end of the file.
  std::string locInstancesStart = Block(kWinToInstances);
  size_t locAt = Find(anInstances, anInstancesSize, 0, locInstancesStart);
  if (locAt == anInstancesSize) {
    return Refuse(ZW_MISSION_DAMAGED, "the instances file has no list of instances", aWhy);
  }
  BlockMatch m = {anInstances, anInstancesSize, locAt + locInstancesStart.size(), {}, {}, 0};
  std::vector<ZW_ExportMarker> locMarkers;
  const struct {
    int kind;
    const char* block;
  } kKinds[2] = {{ZW_ZONE_LANDING, kLzInstances}, {ZW_ZONE_VICTORY, kVlInstances}};
  for (const auto& k : kKinds) {
    for (int n = 1; m.Match(k.block); n++) {
      // The words in order: n, X, Y, Z (and for an LZ the computed values).
      if (m.Value(0) != n) {
        return Refuse(ZW_MISSION_DAMAGED, "the markers are not numbered in order", aWhy);
      }
      ZW_ExportMarker locMarker = {};
      locMarker.kind = k.kind;
      for (int i = 0; i < 3; i++) {
        locMarker.world[i] = m.Float(1 + i);
      }
      locMarkers.push_back(locMarker);
    }
  }
  if (!m.Match(kEnd) || m.pos != anInstancesSize) {
    return Refuse(ZW_MISSION_DAMAGED, "the instances file does not end as written", aWhy);
  }
  // The playfield from the map file.
  std::string locPlayfield = PlayfieldBlock();
  size_t locField = Find(aMap, aMapSize, 0, Block(locPlayfield.substr(0, locPlayfield.find('{')).c_str()));
  BlockMatch f = {aMap, aMapSize, locField, {}, {}, 0};
  int locMinX, locMinZ, locMaxX, locMaxZ;
  if (locField == aMapSize || !f.Match(locPlayfield.c_str()) || !PlayfieldValue(f.Value(0), &locMinX) ||
      !PlayfieldValue(f.Value(1), &locMinZ) || !PlayfieldValue(f.Value(2), &locMaxX) ||
      !PlayfieldValue(f.Value(3), &locMaxZ) || locMinX > locMaxX || locMinZ > locMaxZ) {
    return Refuse(ZW_MISSION_DAMAGED, "the map file has no playfield", aWhy);
  }
  ZW_Mission locMission;
  locMission.worldLeft = ZW_WORLD_SIZE - locMaxX;
  locMission.worldRight = ZW_WORLD_SIZE - locMinX;
  locMission.worldTop = locMinZ;
  locMission.worldBottom = locMaxZ;
  // A playfield that the crop editing would change at once is not the export's.
  if (!ZW_CropKeepsWorld(locMission.worldLeft, locMission.worldTop, locMission.worldRight,
                         locMission.worldBottom)) {
    return Refuse(ZW_MISSION_DAMAGED, "the map file's playfield lies beyond the playfield's limits", aWhy);
  }
  // The export of what was read must give the file again.
  ZW_Crop locCrop;
  ZW_CropFromWorld(&locCrop, locMission.worldLeft, locMission.worldTop, locMission.worldRight,
                   locMission.worldBottom);
  ZW_MapValues locValues = aValues;
  std::vector<ZW_ExportMarker> locCheck = locMarkers;
  ZW_ComputeLzPositions(locCheck.data(), (int)locCheck.size(), locCrop);
  std::string locBytes;
  locBytes.reserve(anInstancesSize);
  ZW_BuildInstancesFile(locCheck.data(), (int)locCheck.size(), &locValues, &locBytes);
  if (locBytes.size() != anInstancesSize || memcmp(locBytes.data(), anInstances, anInstancesSize) != 0) {
    return Refuse(ZW_MISSION_DAMAGED, "the instances file does not match its markers, playfield and map name",
                  aWhy);
  }
  locMission.markers.swap(locMarkers);
  *aMission = locMission;
  return ZW_MISSION_OURS;
}
