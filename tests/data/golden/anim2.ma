//Maya ASCII 3.0 scene
//Name: anim2.ma
//Last modified:Tue, Jun 05, 2001 09:07:03 AM
requires maya "3.0";
currentUnit -l millimeter -a degree -t pal;

 createNode transform -n "Box01";
 createNode mesh -n "Box01Shape1" -p "Box01";
 setAttr -s 8 ".vt[0:7]"
                 -23.076900 -15.099700 0.000000
                 20.227900 -15.099700 0.000000
                 -23.076900 28.205099 0.000000
                 20.227900 28.205099 0.000000
                 -23.076900 -15.099700 29.059799
                 20.227900 -15.099700 29.059799
                 -23.076900 28.205099 29.059799
                 20.227900 28.205099 29.059799
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

 createNode transform -n "Box02";
 createNode mesh -n "Box02Shape1" -p "Box02";
 setAttr -s 8 ".vt[0:7]"
                 -56.641300 -22.436501 22.187500
                 -34.125702 -22.436501 21.625299
                 -56.788300 -2.993900 16.301600
                 -34.272598 -2.993900 15.739400
                 -55.765701 -11.814900 57.251400
                 -33.250099 -11.814900 56.689201
                 -55.912701 7.627700 51.365501
                 -33.396999 7.627700 50.803299
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
	setAttr ".t" -type "double3" -84.715202 -0.411400 0.000000 ;
	setAttr ".r" -type "double3" 89.997437 6.834323 -62.773914 ;
	setAttr ".s" -type "double3" 1.000000 1.000000 1.000000 ;
createNode camera -n "Camera01Shape1" -p "Camera01";
 	setAttr -k off ".v";
	setAttr ".fcp"  100000.000;
createNode camera -n "Camera01Shape1" -p "Camera01";
 	setAttr -k off ".v";
	setAttr ".fcp"  100000.000;
	setAttr ".ncp" 0.000000 ;
	setAttr ".fcp" 1000.000000 ;
	setAttr ".fl" 36.790001 ;
createNode transform -n "FDirect01";
	setAttr ".t" -type "double3" 83.843903 1.388100 51.126099 ;
	setAttr ".r" -type "double3" 58.138031 -0.000000 0.000000 ;
	setAttr ".s" -type "double3" 1.000000 1.000000 1.000000 ;
createNode spotLight -n "FDirect01Shape1" -p "FDirect01";
 	setAttr -k off ".v";
	setAttr ".cl" -type "float3" 1.000000 1.000000 1.000000 ;
	setAttr ".in" 1.000000 ;
	setAttr ".ca" 43.000000 ;
	setAttr ".dro" 45.000000 ;

createNode transform -n "FDirect02";
	setAttr ".t" -type "double3" -20.784300 -45.613998 0.000000 ;
	setAttr ".r" -type "double3" 97.007484 -0.000000 0.000000 ;
	setAttr ".s" -type "double3" 1.000000 1.000000 1.000000 ;
createNode spotLight -n "FDirect02Shape1" -p "FDirect02";
 	setAttr -k off ".v";
	setAttr ".cl" -type "float3" 1.000000 1.000000 1.000000 ;
	setAttr ".in" 1.000000 ;
	setAttr ".ca" 43.000000 ;
	setAttr ".dro" 45.000000 ;

createNode transform -n "Sky01";
	setAttr ".t" -type "double3" -38.540901 -85.686401 74.871002 ;
	setAttr ".r" -type "double3" 0.000000 0.000000 0.000000 ;
	setAttr ".s" -type "double3" 1.000000 1.000000 1.000000 ;
createNode spotLight -n "Sky01Shape1" -p "Sky01";
 	setAttr -k off ".v";
	setAttr ".cl" -type "float3" 0.950000 0.950000 1.000000 ;
	setAttr ".in" 1.000000 ;
	setAttr ".ca" 0.000000 ;
	setAttr ".dro" 0.000000 ;

createNode script -n "animationScriptNode";
	setAttr ".a" -type "string" (
		"playbackOptions -min 0 -max 100 -animationStartTime 0 -animationEndTime 100 ;");


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
  connectAttr "Box02Shape1.iog" ":initialShadingGroup.dsm" -na;
  connectAttr "FDirect01Shape1.ltd" ":lightList1.l" -na;
  connectAttr "FDirect01Shape1.iog" ":defaultLightSet.dsm" -na;
  connectAttr "FDirect02Shape1.ltd" ":lightList1.l" -na;
  connectAttr "FDirect02Shape1.iog" ":defaultLightSet.dsm" -na;
  connectAttr "Sky01Shape1.ltd" ":lightList1.l" -na;
  connectAttr "Sky01Shape1.iog" ":defaultLightSet.dsm" -na;
// End of anim2.ma 