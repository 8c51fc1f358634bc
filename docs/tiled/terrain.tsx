<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="terrain" tilewidth="48" tileheight="41" tilecount="2" columns="0">
 <grid orientation="orthogonal" width="1" height="1"/>
 <tile id="0">
  <properties>
   <property name="cost" type="int" value="3"/>
  </properties>
  <image width="48" height="41" source="rock.png"/>
 </tile>
 <tile id="1">
  <properties>
   <property name="solid" type="bool" value="true"/>
  </properties>
  <image width="48" height="41" source="water.png"/>
 </tile>
</tileset>
