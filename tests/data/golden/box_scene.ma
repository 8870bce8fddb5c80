//Maya ASCII 3.0 scene
//Name: box_scene.ma
//Last modified:Tue, Jun 05, 2001 09:07:03 AM
requires maya "3.0";
currentUnit -l millimeter -a degree -t pal;

 createNode transform -n "Box01";
 createNode mesh -n "Box01Shape1" -p "Box01";
 setAttr -s 8 ".vt[0:7]"
                 -10.000000 -10.000000 0.000000
                 10.000000 -10.000000 0.000000
                 -10.000000 10.000000 0.000000
                 10.000000 10.000000 0.000000
                 -10.000000 -10.000000 20.000000
                 10.000000 -10.000000 20.000000
                 -10.000000 10.000000 20.000000
                 10.000000 10.000000 20.000000
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

createNode animCurveTU -n "Box01_translateX";
	setAttr ".tan" 9;
	setAttr ".wgt" no;	setAttr -s 2 ".ktv[0:1]" 0 0.000000 50 40.000000;

createNode animCurveTU -n"Box01_translateY";
	setAttr ".tan" 9;
	setAttr ".wgt" no;	setAttr -s 2 ".ktv[0:1]" 0 0.000000 50 0.000000;

createNode animCurveTU-n"Box01_translateZ";
	setAttr ".tan" 9;
	setAttr ".wgt" no;	setAttr -s 2 ".ktv[0:1]" 0 0.000000 50 10.000000;

connectAttr "Box01_translateX.o" "Box01.tx";
connectAttr "Box01_translateY.o" "Box01.ty";
connectAttr "Box01_translateZ.o" "Box01.tz";

createNode animCurveTA -n "Box01_rotateX";
	setAttr ".tan" 9;
	setAttr ".wgt" no;	setAttr -s 2 ".ktv[0:1]" 0 0.000000 50 0.000000;

createNode animCurveTA -n "Box01_rotateY";
	setAttr ".tan" 9;
	setAttr ".wgt" no;	setAttr -s 2 ".ktv[0:1]" 0 0.000000 50 0.000000;

createNode animCurveTA -n "Box01_rotateZ";
	setAttr ".tan" 9;
	setAttr ".wgt" no;	setAttr -s 2 ".ktv[0:1]" 0 0.000000 50 -90.000206;

connectAttr "Box01_rotateX.o" "Box01.rx";
connectAttr "Box01_rotateY.o" "Box01.ry";
connectAttr "Box01_rotateZ.o" "Box01.rz";

createNode animCurveTU -n "Box01_scaleX";
	setAttr ".tan" 9;
	setAttr ".wgt" no;	setAttr -s 2 ".ktv[0:1]" 0 1.000000 100 2.000000;

createNode animCurveTU -n "Box01_scaleY";
	setAttr ".tan" 9;
	setAttr ".wgt" no;	setAttr -s 2 ".ktv[0:1]" 0 1.000000 100 2.000000;

createNode animCurveTU -n"Box01_scaleZ";
	setAttr ".tan" 9;
	setAttr ".wgt" no;	setAttr -s 2 ".ktv[0:1]" 0 1.000000 100 2.000000;

connectAttr "Box01_scaleX.o" "Box01.sx";
connectAttr "Box01_scaleY.o" "Box01.sy";
connectAttr "Box01_scaleZ.o" "Box01.sz";

createNode transform -n "Spot01";
	setAttr ".t" -type "double3" 80.000000 -60.000000 90.000000 ;
	setAttr ".r" -type "double3" 58.138031 -0.000000 0.000000 ;
	setAttr ".s" -type "double3" 1.000000 1.000000 1.000000 ;
createNode spotLight -n "Spot01Shape1" -p "Spot01";
 	setAttr -k off ".v";
	setAttr ".cl" -type "float3" 1.000000 0.950000 0.800000 ;
	setAttr ".in" 1.200000 ;
	setAttr ".ca" 43.000000 ;
	setAttr ".dro" 45.000000 ;

createNode transform -n "Camera01";
	setAttr ".t" -type "double3" 0.000000 -150.000000 10.000000 ;
	setAttr ".r" -type "double3" 90.000206 -0.000000 -0.000000 ;
	setAttr ".s" -type "double3" 1.000000 1.000000 1.000000 ;
createNode camera -n "Camera01Shape1" -p "Camera01";
 	setAttr -k off ".v";
	setAttr ".fcp"  100000.000;
	setAttr ".ncp" 1.000000 ;
	setAttr ".fcp" 1000.000000 ;
	setAttr ".fl" 40.000000 ;
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
  connectAttr "Spot01Shape1.ltd" ":lightList1.l" -na;
  connectAttr "Spot01Shape1.iog" ":defaultLightSet.dsm" -na;
// End of box_scene.ma 