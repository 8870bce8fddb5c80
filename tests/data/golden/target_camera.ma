//Maya ASCII 3.0 scene
//Name: target_camera.ma
//Last modified:Tue, Jun 05, 2001 09:07:03 AM
requires maya "3.0";
currentUnit -l millimeter -a degree -t pal;

 createNode transform -n "Box01";
 createNode mesh -n "Box01Shape1" -p "Box01";
 setAttr -s 8 ".vt[0:7]"
                 -24.786301 -24.786301 0.000000
                 45.868900 -24.786301 0.000000
                 -24.786301 23.076900 0.000000
                 45.868900 23.076900 0.000000
                 -24.786301 -24.786301 38.746399
                 45.868900 -24.786301 38.746399
                 -24.786301 23.076900 38.746399
                 45.868900 23.076900 38.746399
;
 setAttr -s 36 ".ed[0:35]"
                  0 2 1
                 2 3 1
                 3 0 1

                 3 1 1
                 1 0 1
                 0 3 1

                 4 5 1
                 5 7 1
                 7 4 1

                 7 6 1
                 6 4 1
                 4 7 1

                 0 1 1
                 1 5 1
                 5 0 1

                 5 4 1
                 4 0 1
                 0 5 1

                 1 3 1
                 3 7 1
                 7 1 1

                 7 5 1
                 5 1 1
                 1 7 1

                 3 2 1
                 2 6 1
                 6 3 1

                 6 7 1
                 7 3 1
                 3 6 1

                 2 0 1
                 0 4 1
                 4 2 1

                 4 6 1
                 6 2 1
                 2 4 1

;

 setAttr -s 12 ".fc[0:11]" -type "polyFaces" 

  f 3 0 1 2
 f 3 3 4 5
 f 3 6 7 8
 f 3 9 10 11
 f 3 12 13 14
 f 3 15 16 17
 f 3 18 19 20
 f 3 21 22 23
 f 3 24 25 26
 f 3 27 28 29
 f 3 30 31 32
 f 3 33 34 35
;

createNode transform -n "Camera01";
	setAttr ".t" -type "double3" -65.867699 16.121300 0.000000 ;
	setAttr ".r" -type "double3" 89.996483 -0.003023 -81.437004 ;
	setAttr ".s" -type "double3" 1.000000 1.000000 1.000000 ;
createNode camera -n "Camera01Shape1" -p "Camera01";
 	setAttr -k off ".v";
	setAttr ".fcp"  100000.000;
createNode camera -n "Camera01Shape1" -p "Camera01";
 	setAttr -k off ".v";
	setAttr ".fcp"  100000.000;
	setAttr ".ncp" 0.000000 ;
	setAttr ".fcp" 1000.000000 ;
	setAttr ".fl" 41.683674 ;
createNode script -n "animationScriptNode";
	setAttr ".a" -type "string" (
		"playbackOptions -min 0 -max 300 -animationStartTime 0 -animationEndTime 300 ;");


 createNode lightLinker -n "lightLinker1";
 createNode displayLayerManager -n "layerManager";
 createNode displayLayer -n "defaultLayer";
 createNode renderLayerManager -n "renderLayerManager";
 createNode renderLayer -n "defaultRenderLayer";
 createNode renderLayer -s -n "globalRender";
 createNode partition -n "mtorPartition";
 connectAttr ":defaultLightSet.msg" "lightLinker1.lnk[0].llnk";
 connectAttr ":initialShadingGroup.msg" "lightLinker1.lnk[0].olnk";
 connectAttr ":defaultLightSet.msg" "lightLinker1.lnk[1].llnk";
 connectAttr ":initialParticleSE.msg" "lightLinker1.lnk[1].olnk";
 connectAttr "layerManager.dli[0]" "defaultLayer.id";
 connectAttr "renderLayerManager.rlmi[0]" "defaultRenderLayer.rlid";
 connectAttr ":defaultRenderGlobals.msg" "mtorPartition.msg";
 connectAttr "lightLinker1.msg" ":lightList1.ln" -na;
  connectAttr "Box01Shape1.iog" ":initialShadingGroup.dsm" -na;
// End of target_camera.ma 